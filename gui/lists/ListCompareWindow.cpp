#include "gui/lists/ListCompareWindow.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/ui/Texts.h"

#include <QCheckBox>
#include <QColor>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace fw {

namespace {

// Light row colours per mark, a stronger one for the fields that differ.
QColor MarkColour(PairMark mark) {
    switch (mark) {
    case PairMark::Same:
        return {};
    case PairMark::Changed:
        return QColor(255, 246, 204);
    case PairMark::Moved:
        return QColor(219, 234, 254);
    case PairMark::OnlyLeft:
        return QColor(254, 226, 226);
    case PairMark::OnlyRight:
        return QColor(220, 252, 231);
    }
    return {};
}

const QColor kChangedField(253, 204, 96);

} // namespace

ComparisonModel::ComparisonModel(const ListDocument& left, const ListDocument& right,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_left(left), m_right(right) {}

void ComparisonModel::Show(const ListDiff* diff, const std::array<bool, kPairMarkCount>& shown) {
    beginResetModel();
    m_diff = diff;
    m_rows.clear();
    for (std::size_t i = 0; i < diff->pairs.size(); ++i)
        if (shown[static_cast<std::size_t>(diff->pairs[i].mark)])
            m_rows.push_back(static_cast<int>(i));
    endResetModel();
}

int ComparisonModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const PlacePair& pair = m_diff->pairs[static_cast<std::size_t>(PairOfRow(index.row()))];
    const int column = index.column();
    const bool rightSide = column >= kRightAdr;
    const int gridColumn = column - (rightSide ? kRightAdr : kLeftAdr);
    const int place = rightSide ? pair.right : pair.left;
    if (role == Qt::DisplayRole) {
        if (column == kMarkColumn)
            return QString::fromStdString(PairMarkText(pair.mark));
        if (place < 0)
            return {};
        if (gridColumn == kAdrColumn)
            return place;
        const ListDocument& doc = rightSide ? m_right : m_left;
        return QString::fromStdString(
            Cp1252ToUtf8(doc.pool.Cell(place, FieldOfColumn(gridColumn))));
    }
    if (role == Qt::BackgroundRole) {
        if (column != kMarkColumn && gridColumn != kAdrColumn && place >= 0 &&
            pair.FieldChanged(FieldOfColumn(gridColumn)))
            return kChangedField;
        const QColor colour = MarkColour(pair.mark);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    if (role == Qt::ForegroundRole && pair.mark != PairMark::Same)
        return QColor(Qt::black); // the light backgrounds need dark text in any theme
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    if (section == kMarkColumn)
        return ResText(str::kCompareMarkColumn);
    const std::vector<ColumnHeader> headers = ParseColumnSpec(LoadResString(str::kColumnTitles));
    const auto gridColumn =
        static_cast<std::size_t>(section - (section >= kRightAdr ? kRightAdr : kLeftAdr));
    return gridColumn < headers.size() ? QString::fromStdString(headers[gridColumn].text)
                                       : QVariant();
}

ListCompareWindow::ListCompareWindow(CDlgProgrammpool* editor, const ListDocument& left,
                                     ListDocument right, const QString& leftName,
                                     const QString& rightName, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_leftCopy(editor != nullptr ? ListDocument{} : left),
      m_left(editor != nullptr ? editor->Document() : m_leftCopy), m_right(std::move(right)) {
    setObjectName("compare");
    setWindowTitle(QString::fromStdString(FormatText(
        LoadResString(str::kCompareTitle), {leftName.toStdString(), rightName.toStdString()})));
    m_model = new ComparisonModel(m_left, m_right, this);

    const auto makeGrid = [this](const char* name, int firstShown, int lastShown) {
        auto* grid = new QTableView(this);
        grid->setObjectName(name);
        grid->setModel(m_model);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
        grid->setTabKeyNavigation(false);
        for (int column = 0; column < ComparisonModel::kColumnCount; ++column)
            grid->setColumnHidden(column, column < firstShown || column > lastShown);
        return grid;
    };
    m_leftGrid = makeGrid("left", ComparisonModel::kMarkColumn, ComparisonModel::kRightAdr - 1);
    m_rightGrid = makeGrid("right", ComparisonModel::kRightAdr, ComparisonModel::kColumnCount - 1);
    // One selection and one scroll position: a row is a pair.
    QItemSelectionModel* own = m_rightGrid->selectionModel();
    m_rightGrid->setSelectionModel(m_leftGrid->selectionModel());
    delete own; // a view never deletes the selection model it is given instead
    connect(m_leftGrid->verticalScrollBar(), &QScrollBar::valueChanged,
            m_rightGrid->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_rightGrid->verticalScrollBar(), &QScrollBar::valueChanged,
            m_leftGrid->verticalScrollBar(), &QScrollBar::setValue);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(ResText(str::kCompareShow), this));
    for (int mark = 0; mark < kPairMarkCount; ++mark) {
        auto* box = new QCheckBox(ResText(str::kCompareFilterSame + mark), this);
        box->setObjectName(QStringLiteral("filter%1").arg(mark));
        // The differences are what a comparison is for; equal programs on request.
        box->setChecked(mark != static_cast<int>(PairMark::Same));
        connect(box, &QCheckBox::toggled, this, &ListCompareWindow::ApplyFilters);
        filters->addWidget(box);
        m_filters[static_cast<std::size_t>(mark)] = box;
    }
    filters->addStretch();
    m_counts = new QLabel(this);
    m_counts->setObjectName("counts");
    filters->addWidget(m_counts);

    auto* names = new QHBoxLayout;
    names->addWidget(new QLabel(QString::fromStdString(FormatText(LoadResString(str::kCompareLeft),
                                                                  {leftName.toStdString()})),
                                this));
    names->addWidget(new QLabel(QString::fromStdString(FormatText(LoadResString(str::kCompareRight),
                                                                  {rightName.toStdString()})),
                                this));
    auto* grids = new QHBoxLayout;
    grids->addWidget(m_leftGrid, 1);
    grids->addWidget(m_rightGrid, 1);
    auto* programs = new QWidget(this);
    auto* programsLayout = new QVBoxLayout(programs);
    programsLayout->setContentsMargins(0, 0, 0, 0);
    programsLayout->addLayout(names);
    programsLayout->addLayout(grids, 1);

    m_banks = new QTreeWidget(this);
    m_banks->setObjectName("banks");
    m_banks->setRootIsDecorated(false);
    m_banks->setHeaderLabels(ResText(str::kCompareBankColumns).split(QLatin1Char('|')));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(programs, ResText(str::kComparePrograms));
    tabs->addTab(m_banks, ResText(str::kCompareFavourites));
    tabs->setTabToolTip(0, ResText(str::kCompareToolTip));

    auto* bottom = new QHBoxLayout;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (m_editor != nullptr) {
        m_takeOver = new QPushButton(ResText(str::kCompareTakeOver), this);
        m_takeOver->setObjectName("takeOver");
        m_atPlace = new QRadioButton(ResText(str::kCompareAtPlace), this);
        m_atPlace->setObjectName("atPlace");
        m_atEnd = new QRadioButton(ResText(str::kCompareAtEnd), this);
        m_atEnd->setObjectName("atEnd");
        m_atPlace->setChecked(true);
        connect(m_takeOver, &QPushButton::clicked, this, &ListCompareWindow::OnTakeOver);
        bottom->addWidget(m_takeOver);
        bottom->addWidget(m_atPlace);
        bottom->addWidget(m_atEnd);
        m_status = new QLabel(this);
        m_status->setObjectName("status");
        bottom->addWidget(m_status);
    } else {
        auto* note = new QLabel(ResText(str::kCompareViewOnly), this);
        note->setObjectName("viewOnly");
        bottom->addWidget(note);
    }
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tabs, 1);
    layout->addLayout(bottom);
    // Enter in a grid must not close the window through a default button.
    for (QAbstractButton* button : buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(button))
            push->setAutoDefault(false);
    resize(1100, 600);
    Recompare();
    m_leftGrid->setFocus();
}

void ListCompareWindow::Recompare() {
    m_diff = CompareListDocuments(m_left, m_right);
    m_counts->setText(QString::fromStdString(FormatText(
        LoadResString(str::kCompareCounts), {std::to_string(m_diff.Count(PairMark::Same)),
                                             std::to_string(m_diff.Count(PairMark::Changed)),
                                             std::to_string(m_diff.Count(PairMark::Moved)),
                                             std::to_string(m_diff.Count(PairMark::OnlyLeft)),
                                             std::to_string(m_diff.Count(PairMark::OnlyRight))})));
    m_banks->clear();
    for (const BankDiff& bank : m_diff.banks)
        m_banks->addTopLevelItem(
            new QTreeWidgetItem({QStringLiteral("F%1").arg(bank.bank),
                                 QString::fromStdString(BankDiffText(bank, m_left, m_right))}));
    if (m_diff.banks.empty())
        m_banks->addTopLevelItem(new QTreeWidgetItem({QString(), ResText(str::kCompareBanksSame)}));
    ApplyFilters();
    // The fit looks at the first rows only; a name takes up to 24 characters anywhere.
    const int nameWidth =
        m_leftGrid->fontMetrics().horizontalAdvance(QString(18, QLatin1Char('n')));
    for (QTableView* grid : {m_leftGrid, m_rightGrid}) {
        grid->resizeColumnsToContents();
        for (int adr : {ComparisonModel::kLeftAdr, ComparisonModel::kRightAdr}) {
            const int name = adr + ColumnOfField(kFieldName);
            grid->setColumnWidth(name, std::max(grid->columnWidth(name), nameWidth));
        }
    }
}

void ListCompareWindow::ApplyFilters() {
    std::array<bool, kPairMarkCount> shown{};
    for (std::size_t mark = 0; mark < shown.size(); ++mark)
        shown[mark] = m_filters[mark]->isChecked();
    m_model->Show(&m_diff, shown);
}

void ListCompareWindow::OnTakeOver() {
    if (m_editor == nullptr)
        return;
    std::vector<int> chosen;
    for (const QModelIndex& index : m_leftGrid->selectionModel()->selectedRows())
        chosen.push_back(m_model->PairOfRow(index.row()));
    const TakeOverPlace where =
        m_atEnd->isChecked() ? TakeOverPlace::AtEnd : TakeOverPlace::AtPlace;
    TakeOverReport report;
    bool ran = false;
    m_editor->Grid()->RunCommand([&](ListDocument& doc) {
        ran = true;
        return TakeOver(doc, m_right, m_diff, chosen, where, &report);
    });
    if (!ran || report.rows.empty())
        return;
    m_editor->Grid()->SelectRowSet(report.rows);
    m_status->setText(QString::fromStdString(
        FormatText(LoadResString(str::kCompareTakenOver),
                   {std::to_string(report.updated), std::to_string(report.moved),
                    std::to_string(report.atPlace), std::to_string(report.atEnd)})));
    Recompare();
}

} // namespace fw
