#pragma once

#include "core/link/TransferJob.h"
#include "gui/page/AppContext.h"

#include <QWidget>

#include <memory>

namespace fw {

class CDlgSenden;

// Base of the main window's pages: the page's tab caption, and tool tips for every control
// whose object name is its control number (the tip is the string of that number).
class CPropertyPagePlus : public QWidget {
    Q_OBJECT
public:
    CPropertyPagePlus(AppContext& context, int dialogId, QWidget* parent = nullptr);

    int DialogId() const { return m_dialogId; }
    QString TabCaption() const;

    void SetToolTips(int on);
    int ToolTipsOn() const { return m_toolTipsOn; }

    // The sheet calls these when the page is shown and when another page takes its place
    // or the window closes.
    virtual void OnSetActive();
    virtual void OnKillActive() {}

    // A step of the production download: sends the file at row of the page's catalogue as a
    // chained transfer and returns the transfer's chain-continue (1 go on, 0 stop). A page
    // without files, or a row that is not there, sends nothing and gives 0.
    virtual int SendChained(int row, int lastStep);

    // Names a control by its number, which also selects its tool tip.
    static void SetControlId(QWidget* control, int id);

protected:
    AppContext& Context() { return m_context; }
    // The transfer dialog for job, on the configured link settings, this run's ports and the
    // production chain's memory.
    std::unique_ptr<CDlgSenden> TransferDialog(const TransferJob& job);
    void showEvent(QShowEvent* event) override;

private:
    void ApplyToolTips();

    AppContext& m_context;
    int m_dialogId;
    int m_toolTipsOn = 1;
};

} // namespace fw
