#pragma once

#include "gui/page/AppContext.h"

#include <QDialog>

#include <array>

class QPushButton;
class QTabWidget;

namespace fw {

class CPropertyPagePlus;

// The main window: four tabbed pages, Info and Quit. Alt and a tab's marked letter switch
// pages. The page shown and the window's place and size when it closes are kept in the
// configuration.
class CReceiverSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageCount = 4;
    static constexpr int kInfoButtonId = 200;
    static constexpr int kQuitButtonId = 1;

    explicit CReceiverSheet(AppContext& context, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    CPropertyPagePlus* Page(int index) const;
    int ActivePage() const;
    void SetActivePage(int index);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnPageChanged(int index);
    // Where and how large the window was when it last closed, pulled onto the desktop.
    void RestorePlacement();
    void ShowAbout();

    AppContext& m_context;
    QTabWidget* m_tabs;
    QPushButton* m_infoButton;
    QPushButton* m_quitButton;
    std::array<CPropertyPagePlus*, kPageCount> m_pages{};
    int m_shownPage = -1;
};

} // namespace fw
