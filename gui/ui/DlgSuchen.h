#pragma once

#include "gui/ui/ToolTipDialog.h"

#include <QStringList>

class QCheckBox;
class QComboBox;

namespace fw {

namespace ids::search {
inline constexpr int kAllColumns = 10236;
} // namespace ids::search

// The modeless search window of the pool grid and the bank lists. It keeps the texts searched
// for, newest first; a text that differs from an older one only in case replaces it.
class CDlgSuchen : public CToolTipDialog {
    Q_OBJECT
public:
    static constexpr int kHistorySize = 11;

    CDlgSuchen(int titleId, QWidget* parent = nullptr);

    QString SearchText() const;
    void SetSearchText(const QString& text);
    QStringList History() const;
    // The pool's search also looks in every column when the user ticks it.
    void OfferAllColumns();
    bool InAllColumns() const;

    // The search button: the text joins the history and the search runs.
    void OnSearch();

signals:
    void SearchRequested(const QString& text);

private:
    void Remember(const QString& text);

    QComboBox* m_text = nullptr;
    QCheckBox* m_allColumns = nullptr;
};

} // namespace fw
