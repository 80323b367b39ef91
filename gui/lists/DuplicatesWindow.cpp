#include "gui/lists/DuplicatesWindow.h"

#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/ui/Texts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fw {

namespace {

// Per item: the group's number in m_groups (top level) or the place (a row of a group).
constexpr int kItemRole = Qt::UserRole;

QRadioButton* Choice(const char* name, int text, QLayout* layout, QWidget* parent) {
    auto* button = new QRadioButton(ResText(text), parent);
    button->setObjectName(name);
    layout->addWidget(button);
    return button;
}

} // namespace

DuplicatesWindow::DuplicatesWindow(ListDocument& doc, CPoolListCtrl& grid, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_grid(grid) {
    setWindowTitle(ResText(str::kDuplicatesTitle));
    auto* rule = new QGroupBox(ResText(str::kDuplicatesCompare), this);
    auto* ruleLayout = new QVBoxLayout(rule);
    m_byProgram = Choice("byProgram", str::kDuplicatesByProgram, ruleLayout, rule);
    m_byName = Choice("byName", str::kDuplicatesByName, ruleLayout, rule);
    m_byProgram->setChecked(true);
    auto* keep = new QGroupBox(ResText(str::kDuplicatesKeep), this);
    auto* keepLayout = new QVBoxLayout(keep);
    m_keepFirst = Choice("keepFirst", str::kDuplicatesKeepFirst, keepLayout, keep);
    m_keepBanked = Choice("keepBanked", str::kDuplicatesKeepBanked, keepLayout, keep);
    m_keepFirst->setChecked(true);
    connect(m_byProgram, &QRadioButton::toggled, this, [this] { Refresh(); });

    m_list = new QTreeWidget(this);
    m_list->setObjectName("groups");
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({ResText(str::kDuplicatesPlace), ResText(str::kDuplicatesName)});
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &DuplicatesWindow::OnCurrentItem);
    auto* listLabel = new QLabel(ResText(str::kDuplicatesGroups), this);
    listLabel->setBuddy(m_list);
    m_summary = new QLabel(this);
    m_summary->setObjectName("summary");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_remove = buttons->addButton(ResText(str::kDuplicatesRemove), QDialogButtonBox::ActionRole);
    m_remove->setObjectName("remove");
    // Enter in the list must not remove anything.
    m_remove->setAutoDefault(false);
    connect(m_remove, &QPushButton::clicked, this, &DuplicatesWindow::RemoveAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rule);
    layout->addWidget(keep);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(560, 520);

    // Whatever changes the document repaints the grid's rows: the groups follow.
    connect(m_grid.GridModel(), &QAbstractItemModel::dataChanged, this, [this] {
        if (isVisible())
            Refresh();
    });
}

MatchRule DuplicatesWindow::Rule() const {
    return m_byName->isChecked() ? MatchRule::Name : MatchRule::Program;
}

DuplicateKeep DuplicatesWindow::Keep() const {
    return m_keepBanked->isChecked() ? DuplicateKeep::Banked : DuplicateKeep::First;
}

void DuplicatesWindow::Refresh() {
    m_groups = FindDuplicates(m_doc.pool, Rule());
    // Selecting items while the list is rebuilt would move the grid's selection.
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (std::size_t index = 0; index < m_groups.size(); ++index) {
        const DuplicateGroup& group = m_groups[index];
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(
            0, QString::fromStdString(DuplicateGroupTitle(group, static_cast<int>(index) + 1)));
        item->setData(0, kItemRole, static_cast<int>(index));
        item->setFirstColumnSpanned(true);
        for (int place : group) {
            auto* row = new QTreeWidgetItem(item);
            row->setText(0, QString::number(place));
            row->setText(1,
                         QString::fromStdString(Cp1252ToUtf8(m_doc.pool.Cell(place, kFieldName))));
            row->setData(0, kItemRole, place);
        }
    }
    m_list->expandAll();
    m_summary->setText(QString::fromStdString(DuplicatesSummary(m_groups)));
    m_remove->setEnabled(!m_groups.empty());
}

void DuplicatesWindow::OnCurrentItem() {
    const QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr)
        return;
    const int value = item->data(0, kItemRole).toInt();
    if (item->parent() != nullptr)
        m_grid.SelectRowSet({value});
    else if (value >= 0 && static_cast<std::size_t>(value) < m_groups.size())
        m_grid.SelectRowSet(m_groups[static_cast<std::size_t>(value)]);
}

void DuplicatesWindow::RemoveAll() {
    const MatchRule rule = Rule();
    const DuplicateKeep keep = Keep();
    int removed = 0;
    m_grid.RunCommand(
        [&](ListDocument& doc) { return RemoveDuplicates(doc, rule, keep, &removed); });
    Refresh();
    m_summary->setText(QString::fromStdString(DuplicatesRemovedText(removed)) +
                       QStringLiteral("  ") + m_summary->text());
}

void DuplicatesWindow::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void AddDuplicatesTool(CDlgProgrammpool& editor) {
    QAction* action = editor.ToolsMenu()->addAction(ResText(str::kToolFindDuplicates));
    action->setObjectName("findDuplicates");
    QObject::connect(action, &QAction::triggered, &editor, [&editor] {
        auto* window = editor.findChild<DuplicatesWindow*>();
        if (window == nullptr)
            window = new DuplicatesWindow(editor.Document(), *editor.Grid(), &editor);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

} // namespace fw
