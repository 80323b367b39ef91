#include "gui/ui/DlgSuchen.h"

#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

namespace {
constexpr int kDialogId = 206;

bool SameIgnoringCase(const QString& a, const QString& b) {
    return EqualsIgnoringCaseCp1252(Utf8ToCp1252(a.toStdString()), Utf8ToCp1252(b.toStdString()));
}
} // namespace

CDlgSuchen::CDlgSuchen(int titleId, QWidget* parent) : CToolTipDialog(parent) {
    setWindowTitle(ResText(titleId));
    m_text = new QComboBox(this);
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMinimumWidth(220);
    SetControlId(m_text, 1000);
    auto* search = new QPushButton(DialogText(kDialogId, 1), this);
    SetControlId(search, 1);
    search->setDefault(true);
    auto* cancel = new QPushButton(DialogText(kDialogId, 2), this);
    SetControlId(cancel, 2);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(DialogText(kDialogId, "static-search"), this));
    row->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(search);
    buttons->addWidget(cancel);
    m_allColumns = new QCheckBox(ResText(str::kSearchAllColumns), this);
    SetControlId(m_allColumns, ids::search::kAllColumns);
    m_allColumns->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_allColumns);
    layout->addLayout(buttons);

    connect(search, &QPushButton::clicked, this, &CDlgSuchen::OnSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString CDlgSuchen::SearchText() const {
    return m_text->currentText();
}

void CDlgSuchen::SetSearchText(const QString& text) {
    m_text->setEditText(text);
}

QStringList CDlgSuchen::History() const {
    QStringList texts;
    for (int i = 0; i < m_text->count(); ++i)
        texts << m_text->itemText(i);
    return texts;
}

void CDlgSuchen::OfferAllColumns() {
    m_allColumns->show();
}

bool CDlgSuchen::InAllColumns() const {
    return !m_allColumns->isHidden() && m_allColumns->isChecked();
}

void CDlgSuchen::OnSearch() {
    const QString text = SearchText();
    if (text.isEmpty())
        return;
    Remember(text);
    emit SearchRequested(text);
}

void CDlgSuchen::Remember(const QString& text) {
    for (int i = m_text->count() - 1; i >= 0; --i)
        if (SameIgnoringCase(m_text->itemText(i), text))
            m_text->removeItem(i);
    m_text->insertItem(0, text);
    while (m_text->count() > kHistorySize)
        m_text->removeItem(m_text->count() - 1);
    m_text->setCurrentIndex(0);
}

} // namespace fw
