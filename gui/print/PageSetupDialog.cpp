#include "gui/print/PageSetupDialog.h"

#include "core/print/PrintLayout.h"
#include "core/res/StringIds.h"
#include "core/util/UserInteraction.h"
#include "gui/print/ListDruck.h"
#include "gui/print/MarginEdit.h"
#include "gui/print/PagePicture.h"
#include "gui/print/PrintFont.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <climits>

namespace fw {

namespace {

using namespace ids::pageSetup;

QString Text(std::string_view control) {
    return DialogText(kDialog, control);
}

// A margin field with its label before it, as one cell of the margin group.
QHBoxLayout* LabelledMargin(QWidget* parent, std::string_view label, MarginEdit*& field, int id,
                            int value) {
    field = new MarginEdit(parent);
    SetControlId(field, id);
    field->SetValue(value);
    auto* caption = new QLabel(Text(label), parent);
    caption->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(field);
    return row;
}

} // namespace

PageSetupDialog::PageSetupDialog(CDruckDat& settings, UserInteraction& interaction, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_interaction(interaction) {
    setWindowTitle(Text("caption"));
    SetControlId(this, kDialog);

    // A stored list of another length shows as the grid's twelve columns.
    CDruckDat fitted = settings;
    FitColumnsToGrid(fitted);
    m_columns = new QListWidget(this);
    SetControlId(m_columns, kColumns);
    m_columns->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (std::size_t column = 0; column < fitted.m_columnTitles.size(); ++column) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(fitted.m_columnTitles[column]), m_columns);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(fitted.m_columnFlags[column] != 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_columns->installEventFilter(this);
    // Every column in view without scrolling; a freak title from upd.ini scrolls instead of
    // widening the dialog beyond the screen.
    const int frame = 2 * m_columns->frameWidth();
    const int charWidth = fontMetrics().averageCharWidth();
    m_columns->setMinimumSize(std::min(m_columns->sizeHintForColumn(0), charWidth * 30) + frame +
                                  charWidth * 2,
                              m_columns->sizeHintForRow(0) * m_columns->count() + frame);
    auto* columnsLabel = new QLabel(Text("static-columns"), this);
    columnsLabel->setBuddy(m_columns);

    m_headerText = new QLineEdit(QString::fromStdString(settings.m_headerText), this);
    SetControlId(m_headerText, kHeaderText);
    m_headerText->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
    auto* headerLabel = new QLabel(Text("static-header"), this);
    headerLabel->setBuddy(m_headerText);
    m_headerFont = new QPushButton(DialogText(kDialog, kHeaderFont), this);
    SetControlId(m_headerFont, kHeaderFont);
    m_headerFont->setAutoDefault(false);
    connect(m_headerFont, &QPushButton::clicked, this, [this] {
        ChooseFont(m_settings.m_headerFont, m_settings.m_headerColour, str::kHeaderColourTitle);
    });
    m_mainFont = new QPushButton(DialogText(kDialog, kMainFont), this);
    SetControlId(m_mainFont, kMainFont);
    m_mainFont->setAutoDefault(false);
    connect(m_mainFont, &QPushButton::clicked, this, [this] {
        ChooseFont(m_settings.m_mainFont, m_settings.m_mainColour, str::kTableColourTitle);
    });

    // The four margins stand where they lie on the page.
    auto* marginGroup = new QGroupBox(Text("group-margin"), this);
    auto* margins = new QGridLayout(marginGroup);
    margins->addLayout(
        LabelledMargin(marginGroup, "static-top", m_topMargin, kTopMargin, settings.m_topMargin), 0,
        1, Qt::AlignHCenter);
    margins->addLayout(LabelledMargin(marginGroup, "static-left", m_leftMargin, kLeftMargin,
                                      settings.m_leftMargin),
                       1, 0);
    margins->addWidget(new PagePicture(marginGroup), 1, 1, Qt::AlignCenter);
    margins->addLayout(LabelledMargin(marginGroup, "static-right", m_rightMargin, kRightMargin,
                                      settings.m_rightMargin),
                       1, 2);
    margins->addLayout(LabelledMargin(marginGroup, "static-bottom", m_bottomMargin, kBottomMargin,
                                      settings.m_bottomMargin),
                       2, 1, Qt::AlignHCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(DialogText(kDialog, 1));
    SetControlId(ok, kOk);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setText(DialogText(kDialog, 2));
    SetControlId(cancel, kCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* header = new QGridLayout;
    header->addWidget(headerLabel, 0, 0, 1, 2);
    header->addWidget(m_headerText, 1, 0);
    header->addWidget(m_headerFont, 1, 1);
    header->addWidget(m_mainFont, 2, 0, Qt::AlignLeft);
    auto* right = new QVBoxLayout;
    right->addLayout(header);
    right->addWidget(marginGroup);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(columnsLabel);
    left->addWidget(m_columns, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addSpacing(fontMetrics().averageCharWidth() * 2);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Round the page as the margins lie: top, left, right, bottom.
    setTabOrder(m_columns, m_headerText);
    setTabOrder(m_headerText, m_headerFont);
    setTabOrder(m_headerFont, m_mainFont);
    setTabOrder(m_mainFont, m_topMargin);
    setTabOrder(m_topMargin, m_leftMargin);
    setTabOrder(m_leftMargin, m_rightMargin);
    setTabOrder(m_rightMargin, m_bottomMargin);
    setTabOrder(m_bottomMargin, ok);
    setTabOrder(ok, cancel);
    m_columns->setFocus();
    if (m_columns->count() > 0)
        m_columns->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void PageSetupDialog::ChooseFont(LogFont& font, std::uint32_t& colour, int colourTitle) {
    // Qt's own dialog, as only it offers underline and strike-out everywhere.
    QFontDialog dialog(this);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(ScreenFont(font));
    // As the dialog shows it, sizes and styles rounded to what it lists.
    const QFont shown = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return;
    font = FromScreenFont(dialog.selectedFont(), shown, font);
    // The font dialog has no colour; a cancelled colour keeps the font just chosen.
    const QColor pickedColour = QColorDialog::getColor(
        ColourFromStored(colour), this, ResText(colourTitle), QColorDialog::DontUseNativeDialog);
    if (pickedColour.isValid())
        colour = StoredColour(pickedColour);
}

bool PageSetupDialog::ReadMargin(MarginEdit* field, int& margin) {
    const WholeNumber number = field->Value();
    QString message;
    switch (number.status) {
    case WholeNumberStatus::Ok:
        margin = number.value;
        return true;
    case WholeNumberStatus::NotANumber:
        message = ResText(str::kNotAnInteger);
        break;
    case WholeNumberStatus::OutOfRange:
        message = ResText(str::kIntegerOutOfRange).arg(INT_MIN).arg(INT_MAX);
        break;
    }
    m_interaction.ShowMessage(message.toStdString(), MessageIcon::Warning);
    field->setFocus();
    field->selectAll();
    return false;
}

bool PageSetupDialog::CheckLayout(const CDruckDat& candidate) {
    const PrintProblem problem = CheckPrintSettings(candidate, DefaultPaper());
    QWidget* field = nullptr;
    switch (problem) {
    case PrintProblem::None:
        return true;
    case PrintProblem::TopBottomMargins:
        field = m_topMargin;
        break;
    case PrintProblem::LeftRightMargins:
        field = m_leftMargin;
        break;
    case PrintProblem::HeaderFont:
        field = m_headerFont;
        break;
    case PrintProblem::MainFont:
        field = m_mainFont;
        break;
    }
    m_interaction.ShowMessage(PrintProblemText(problem, candidate), MessageIcon::Warning);
    field->setFocus();
    return false;
}

void PageSetupDialog::accept() {
    std::array<int, 4> margins{};
    const std::array<MarginEdit*, 4> fields = {m_topMargin, m_leftMargin, m_rightMargin,
                                               m_bottomMargin};
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!ReadMargin(fields[i], margins[i]))
            return;
    CDruckDat candidate = m_settings;
    candidate.m_headerText = m_headerText->text().toStdString();
    candidate.m_topMargin = margins[0];
    candidate.m_leftMargin = margins[1];
    candidate.m_rightMargin = margins[2];
    candidate.m_bottomMargin = margins[3];
    FitColumnsToGrid(candidate);
    for (int row = 0; row < m_columns->count(); ++row)
        candidate.m_columnFlags[static_cast<std::size_t>(row)] =
            m_columns->item(row)->checkState() == Qt::Checked ? 1 : 0;
    if (!CheckLayout(candidate))
        return;
    m_settings = std::move(candidate);
    QDialog::accept();
}

bool PageSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_columns && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            ToggleSelectedColumns();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Space sets every selected column as the current one is toggled, so a whole block can be
// switched on or off at once.
void PageSetupDialog::ToggleSelectedColumns() {
    QListWidgetItem* current = m_columns->currentItem();
    if (current == nullptr)
        return;
    const Qt::CheckState state = current->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    current->setCheckState(state);
    for (QListWidgetItem* item : m_columns->selectedItems())
        item->setCheckState(state);
}

} // namespace fw
