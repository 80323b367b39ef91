#include "gui/favourites/DlgFavoriten.h"

#include "core/res/StringIds.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace fw {

CDlgFavoriten::CDlgFavoriten(ListDocument& doc, EditHistory& history, UserInteraction& interaction,
                             std::string profilePath, QWidget* parent)
    : CResizeDialog(kDialogId, std::move(profilePath), parent), m_tabs(new QTabWidget(this)) {
    setWindowTitle(DialogText(kDialogId, "caption"));
    setModal(false);
    SetControlId(m_tabs->tabBar(), kTabsId);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setDocumentMode(true);
    // Ten tabs side by side in a window of the width beside the editor; the count goes on a
    // second line, which the style sheet's tab does not make room for by itself.
    m_tabs->tabBar()->setStyleSheet(
        QStringLiteral(
            "QTabBar::tab { min-width: 0; min-height: %1px; padding: 3px 4px;"
            " border: 1px solid palette(mid); border-bottom: none; background: palette(button); }"
            "QTabBar::tab:selected { background: palette(base); }")
            .arg(2 * m_tabs->tabBar()->fontMetrics().lineSpacing()));
    for (int bank = 0; bank < kBankCount; ++bank) {
        auto* list = new CFavListCtrl(doc, history, interaction, bank, m_tabs);
        m_lists[static_cast<std::size_t>(bank)] = list;
        // Tab leaves the list for the window's other controls instead of walking its cells.
        list->setTabKeyNavigation(false);
        m_tabs->addTab(list, TabText(bank, list->Model().EntryCount()));
        connect(list, &CFavListCtrl::DocumentChanged, this, [this] {
            // A cut pasted into another bank changes two lists.
            Refresh();
            emit DocumentChanged();
        });
        connect(list, &CFavListCtrl::SearchRequested, this, &CDlgFavoriten::Search);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int bank) {
        List(bank)->setFocus();
        emit CurrentBankChanged(bank);
    });

    auto* help = new QPushButton(WithoutMnemonic(DialogText(150, kHelpButtonId)), this);
    SetControlId(help, kHelpButtonId);
    // Enter in a list must not press it.
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &CDlgFavoriten::ShowKeysHelp);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    resize(kWidth, 480);
    CreateBankKeys();
}

void CDlgFavoriten::CreateBankKeys() {
    const auto addKeys = [this](const QList<QKeySequence>& keys, auto run) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        // The lists use Tab and the page keys themselves; the window takes these first.
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    addKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
            [this] { StepBank(1); });
    // Shift+Tab arrives as Backtab.
    addKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            [this] { StepBank(-1); });
    for (int bank = 0; bank < kBankCount; ++bank)
        addKeys({QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_0 + bank))},
                [this, bank] { m_tabs->setCurrentIndex(bank); });
}

void CDlgFavoriten::StepBank(int step) {
    m_tabs->setCurrentIndex((CurrentBank() + step + kBankCount) % kBankCount);
}

QString CDlgFavoriten::TabText(int bank, int entries) {
    return QStringLiteral("F%1\n(%2)").arg(bank).arg(entries);
}

void CDlgFavoriten::Present() {
    show();
    raise();
    activateWindow();
    List(CurrentBank())->setFocus(Qt::ActiveWindowFocusReason);
}

void CDlgFavoriten::FollowEditor(QPoint delta) {
    if (!m_followsEditor || !isVisible() || delta.isNull())
        return;
    m_followTarget = pos() + delta;
    move(*m_followTarget);
}

void CDlgFavoriten::moveEvent(QMoveEvent* event) {
    CResizeDialog::moveEvent(event);
    // Only a move of the window in front can be the user's: following the editor moves it
    // while the editor is in front, and the window system's first placement comes before the
    // window is activated. (isActiveWindow() is true while the editor is active, too.)
    if (isVisible() && QApplication::activeWindow() == this && pos() != m_followTarget)
        m_followsEditor = false;
}

int CDlgFavoriten::CurrentBank() const {
    return m_tabs->currentIndex();
}

void CDlgFavoriten::Refresh() {
    for (CFavListCtrl* list : m_lists) {
        list->Reload();
        m_tabs->setTabText(list->Bank(), TabText(list->Bank(), list->Model().EntryCount()));
    }
}

void CDlgFavoriten::ProgramChanged(int address) {
    for (CFavListCtrl* list : m_lists)
        list->ProgramChanged(address);
}

QRect CDlgFavoriten::PlacementBeside(const QRect& editorFrame, const QRect& desktop) {
    if (desktop.width() <= 800 || !editorFrame.isValid())
        return {};
    QRect frame(editorFrame.x() + editorFrame.width(), editorFrame.y(), kWidth,
                editorFrame.height());
    // A window pushed off the desktop's right edge starts at its left edge instead.
    if (frame.x() > desktop.right())
        frame.moveLeft(desktop.left());
    frame.setHeight(std::min(frame.height(), desktop.height()));
    return frame;
}

void CDlgFavoriten::PlaceBeside(const QRect& editorFrame) {
    const QRect frame = PlacementBeside(editorFrame, Desktop());
    if (frame.isEmpty())
        return;
    // The frame's decoration is known only once the window exists; before that it counts as none.
    const QSize decoration = frameGeometry().size() - geometry().size();
    // Only the default: a geometry the user left in upd.ini wins when the window is shown.
    SetInitialPlacement(frame.x(), frame.y(), frame.width() - decoration.width(),
                        frame.height() - decoration.height());
}

void CDlgFavoriten::ShowKeysHelp() {
    if (m_keysHelp == nullptr) {
        m_keysHelp = new QDialog(this);
        m_keysHelp->setObjectName(QStringLiteral("keys-help"));
        m_keysHelp->setWindowTitle(ResText(str::kKeysHelpTitle));
        auto* text = new QLabel(ResText(str::kKeysHelpText), m_keysHelp);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, m_keysHelp);
        connect(ok, &QDialogButtonBox::accepted, m_keysHelp, &QDialog::accept);
        auto* layout = new QVBoxLayout(m_keysHelp);
        layout->addWidget(text);
        layout->addWidget(ok);
    }
    m_keysHelp->show();
    m_keysHelp->raise();
}

std::optional<int> CDlgFavoriten::AddPosition() const {
    if (!isVisible())
        return std::nullopt;
    return List(CurrentBank())->InsertionPoint();
}

void CDlgFavoriten::Search(bool again) {
    // Searching again before any text was given finds nothing to search for.
    if (!again) {
        const std::optional<QString> text = m_askSearchText ? m_askSearchText() : std::nullopt;
        if (!text)
            return;
        m_searchText = *text;
    }
    List(CurrentBank())->SearchNext(m_searchText);
}

} // namespace fw
