#include "gui/app/LogbookWindow.h"

#include "core/app/Logbook.h"
#include "core/res/StringIds.h"
#include "gui/app/LogbookModel.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace fw {

LogbookWindow::LogbookWindow(const std::string& dataFolder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ResText(str::kLogbookTitle));
    std::vector<LogbookRecord> records;
    std::string reason;
    const bool read = ReadLogbook(dataFolder, kWholeLogbook, records, reason);
    m_model = new LogbookModel(std::move(records), this);

    m_filter = new QLineEdit(this);
    SetControlId(m_filter, ids::logbook::kFilter);
    m_filter->setPlaceholderText(ResText(str::kLogbookFilterHint));
    m_filter->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(ResText(str::kLogbookFilterLabel), this);
    filterLabel->setBuddy(m_filter);
    connect(m_filter, &QLineEdit::textChanged, this, &LogbookWindow::OnFilterChanged);

    m_table = new QTableView(this);
    SetControlId(m_table, ids::logbook::kTable);
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false); // Tab leaves the table for the Close button
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();

    m_count = new QLabel(this);
    SetControlId(m_count, ids::logbook::kCount);
    if (!read)
        m_count->setText(ResText(str::kLogbookUnreadable).arg(QString::fromStdString(reason)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    if (read)
        OnFilterChanged({});
    m_filter->setEnabled(read);
    resize(fontMetrics().averageCharWidth() * 140, fontMetrics().height() * 30);
    m_filter->setFocus();
}

void LogbookWindow::OnFilterChanged(const QString& filter) {
    m_model->SetFilter(filter);
    m_count->setText(
        ResText(str::kLogbookShownOfAll).arg(m_model->rowCount()).arg(m_model->RecordCount()));
}

} // namespace fw
