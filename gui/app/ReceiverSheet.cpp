#include "gui/app/ReceiverSheet.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "gui/app/AboutDlg.h"
#include "gui/app/DlgOptionen.h"
#include "gui/firmware/DlgFlashwerk.h"
#include "gui/lists/DlgProgrammlisten.h"
#include "gui/page/PropertyPagePlus.h"
#include "gui/production/ProductionWindow.h"
#include "gui/settings/DlgGrundeinstellung.h"
#include "gui/ui/ResizeDialog.h"
#include "gui/ui/Texts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fw {

CReceiverSheet::CReceiverSheet(AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_tabs(new QTabWidget(this)),
      m_infoButton(new QPushButton(ResText(str::kInfoButton), this)),
      m_quitButton(new QPushButton(ResText(str::kQuit), this)) {
    setWindowTitle(QStringLiteral("Flashwerk"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/flashwerk.svg")));
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    m_pages = {new CDlgFlashwerk(context, m_tabs), new CDlgProgrammlisten(context, m_tabs),
               new CDlgGrundeinstellung(context, m_tabs), new CDlgOptionen(context, *this, m_tabs)};
    for (CPropertyPagePlus* page : m_pages)
        m_tabs->addTab(page, page->TabCaption());
    // Every tab stays in sight: the window cannot get narrower than the row of tabs.
    m_tabs->setUsesScrollButtons(false);

    m_infoButton->setObjectName(QString::number(kInfoButtonId));
    m_infoButton->setToolTip(ResText(str::kInfoButtonTip));
    m_quitButton->setObjectName(QString::number(kQuitButtonId));
    m_quitButton->setToolTip(ResText(str::kQuitButtonTip));
    // Enter belongs to the pages' controls; it must never close the program.
    for (QPushButton* button : {m_infoButton, m_quitButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_infoButton, &QPushButton::clicked, this, &CReceiverSheet::ShowAbout);
    connect(m_quitButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_infoButton);
    buttons->addStretch();
    buttons->addWidget(m_quitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    SetActivePage(context.config.m_activePage);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CReceiverSheet::OnPageChanged);
    resize(720, 520);
}

CPropertyPagePlus* CReceiverSheet::Page(int index) const {
    return index >= 0 && index < kPageCount ? m_pages[index] : nullptr;
}

int CReceiverSheet::ActivePage() const {
    return m_tabs->currentIndex();
}

void CReceiverSheet::SetActivePage(int index) {
    // A stored index that names no page opens the first one.
    m_tabs->setCurrentIndex(index >= 0 && index < kPageCount ? index : 0);
}

void CReceiverSheet::showEvent(QShowEvent* event) {
    if (m_shownPage < 0)
        RestorePlacement();
    QDialog::showEvent(event);
    if (m_shownPage < 0)
        OnPageChanged(ActivePage());
}

void CReceiverSheet::RestorePlacement() {
    const CKonfiguration::WindowPlacement& stored = m_context.config.m_mainWindow;
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown == nullptr)
        return;
    const DialogPlacement placement = PlaceOnDesktop(
        QRect(stored.x, stored.y, stored.cx, stored.cy), shown->availableVirtualGeometry());
    if (!placement.restored)
        return;
    move(placement.position);
    resize(placement.size);
}

void CReceiverSheet::keyPressEvent(QKeyEvent* event) {
    // The sheet has no Cancel button: a stray Escape after a message box must not end the
    // session. The close box and a termination signal still close through done().
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CReceiverSheet::OnPageChanged(int index) {
    if (CPropertyPagePlus* previous = Page(m_shownPage))
        previous->OnKillActive();
    m_shownPage = index;
    if (CPropertyPagePlus* page = Page(index))
        page->OnSetActive();
}

void CReceiverSheet::done(int result) {
    // A production run keeps the program open: ending it would leave receivers half prepared.
    // The station asks whether to cancel them; the program is closed again once they stopped.
    if (auto* station = findChild<ProductionWindow*>(); station != nullptr && station->Running()) {
        station->raise();
        station->activateWindow();
        station->reject();
        return;
    }
    // Every way out (Quit, the close box, a signal) takes the page's values along.
    if (CPropertyPagePlus* page = Page(m_shownPage))
        page->OnKillActive();
    m_context.config.m_activePage = ActivePage();
    // Position of the frame and size of the client: what move() and resize() take back.
    m_context.config.m_mainWindow = {pos().x(), pos().y(), width(), height()};
    QDialog::done(result);
}

void CReceiverSheet::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

} // namespace fw
