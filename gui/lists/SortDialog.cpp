#include "gui/lists/SortDialog.h"

#include "core/lists/ProgramPool.h"
#include "core/res/StringIds.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fw {

namespace {
// In the order of the combo box.
constexpr std::pair<SortKey, int> kKeys[] = {
    {SortKey::Name, str::kSortKeyName},
    {SortKey::Frequency, str::kSortKeyFrequency},
    {SortKey::Satellite, str::kSortKeySatellite},
    {SortKey::Sid, str::kSortKeySid},
};
} // namespace

SortDialog::SortDialog(std::pair<int, int> selectedRange, SortKey key, QWidget* parent)
    : QDialog(parent), m_selectedRange(selectedRange) {
    setWindowTitle(ResText(str::kSortTitle));
    m_key = new QComboBox(this);
    SetControlId(m_key, ids::sort::kKey);
    for (const auto& [choice, text] : kKeys) {
        m_key->addItem(ResText(text));
        if (choice == key)
            m_key->setCurrentIndex(m_key->count() - 1);
    }
    m_descending = new QCheckBox(ResText(str::kSortDescending), this);
    SetControlId(m_descending, ids::sort::kDescending);
    m_selectedRows = new QRadioButton(
        ResText(str::kSortSelectedRows).arg(selectedRange.first).arg(selectedRange.second), this);
    SetControlId(m_selectedRows, ids::sort::kSelectedRows);
    auto* wholePool = new QRadioButton(ResText(str::kSortWholePool), this);
    SetControlId(wholePool, ids::sort::kWholePool);
    // A range of one row has nothing to sort; no selection stands for the whole pool.
    const bool range = selectedRange.second > selectedRange.first &&
                       selectedRange != std::make_pair(0, kPoolRows - 1);
    m_selectedRows->setEnabled(range);
    (range ? m_selectedRows : wholePool)->setChecked(true);

    auto* ok = new QPushButton(ResText(str::kOkCaption), this);
    SetControlId(ok, ids::sort::kOk);
    ok->setDefault(true);
    auto* cancel = new QPushButton(ResText(str::kCancelCaption), this);
    SetControlId(cancel, ids::sort::kCancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* by = new QLabel(ResText(str::kSortBy), this);
    by->setBuddy(m_key);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(by);
    keyRow->addWidget(m_key, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(keyRow);
    layout->addWidget(m_descending);
    layout->addWidget(m_selectedRows);
    layout->addWidget(wholePool);
    layout->addLayout(buttons);
}

SortKey SortDialog::Key() const {
    return kKeys[m_key->currentIndex()].first;
}

bool SortDialog::Descending() const {
    return m_descending->isChecked();
}

std::pair<int, int> SortDialog::Range() const {
    return m_selectedRows->isChecked() ? m_selectedRange : std::make_pair(0, kPoolRows - 1);
}

} // namespace fw
