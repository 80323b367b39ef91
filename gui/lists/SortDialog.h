#pragma once

#include "core/editor/SortCommands.h"

#include <QDialog>

#include <optional>
#include <utility>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace fw {

namespace ids::sort {
inline constexpr int kKey = 10230;
inline constexpr int kDescending = 10231;
inline constexpr int kSelectedRows = 10232;
inline constexpr int kWholePool = 10233;
inline constexpr int kOk = 10234;
inline constexpr int kCancel = 10235;
} // namespace ids::sort

// The choices of a sort: the key, the direction and the rows (the selection's range, or the
// whole pool when the selection has less than two rows).
class SortDialog : public QDialog {
    Q_OBJECT
public:
    SortDialog(std::pair<int, int> selectedRange, SortKey key, QWidget* parent = nullptr);

    SortKey Key() const;
    bool Descending() const;
    // First and last row to sort.
    std::pair<int, int> Range() const;

private:
    std::pair<int, int> m_selectedRange;
    QComboBox* m_key = nullptr;
    QCheckBox* m_descending = nullptr;
    QRadioButton* m_selectedRows = nullptr;
};

} // namespace fw
