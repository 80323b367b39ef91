#include "gui/app/DlgOptionen.h"

#include "core/config/Konfiguration.h"
#include "core/link/PortMap.h"
#include "core/res/StringIds.h"
#include "gui/app/LogbookWindow.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/production/ProductionWindow.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/Texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fw {
namespace {

constexpr int kOptionsPage = 3;
constexpr int kFirmwarePage = 0;
constexpr int kListPage = 1;
constexpr int kSettingsPage = 2;

// "COM1  (/dev/ttyUSB0)": the user sees which device a port stands for on this machine.
QString PortEntry(const AppContext& context, int comNumber) {
    const QString name = DialogText(CDlgOptionen::kDialogId, "1999." + std::to_string(comNumber));
    const std::string device = context.ports.DeviceFor(comNumber);
    QString shown = QString::fromStdString(device);
    if (device.empty())
        shown = ResText(str::kNoDeviceInPortBox);
    else if (device == context.simulatedDevice)
        shown = ResText(str::kSimulatedReceiver);
    return ResText(str::kPortWithDevice).arg(name, shown);
}

} // namespace

CDlgOptionen::CDlgOptionen(AppContext& context, CReceiverSheet& sheet, QWidget* parent)
    : CPropertyPagePlus(context, kDialogId, parent), m_sheet(sheet) {
    BuildLayout();
    // The values come in when the page is activated.
    if (Context().config.m_bFertigung == 1) {
        m_productionField->show();
        m_productionButton->show();
        m_stationButton->show();
        m_productionButton->setFocus();
    }
}

void CDlgOptionen::BuildLayout() {
    auto* baudGroup = new PageGroup(DialogText(kDialogId, "group-baud"), this);
    m_baudButtons = new QButtonGroup(this);
    auto* baudLayout = new QVBoxLayout(baudGroup);
    for (int index = 0; index < int(kBaudRates.size()); ++index) {
        auto* button = new QRadioButton(DialogText(kDialogId, kFirstBaudButton + index), baudGroup);
        SetControlId(button, kFirstBaudButton + index);
        m_baudButtons->addButton(button, index);
        baudLayout->addWidget(button);
    }
    connect(m_baudButtons, &QButtonGroup::idClicked, this, &CDlgOptionen::OnBaudChosen);

    m_portBox = new QComboBox(this);
    SetControlId(m_portBox, kPortBox);
    m_portBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_portBox->addItem(DialogText(kDialogId, "1999.0"));
    for (int comNumber = 1; comNumber <= PortMap::kPortCount; ++comNumber)
        m_portBox->addItem(PortEntry(Context(), comNumber));
    auto* portLabel = new QLabel(DialogText(kDialogId, "static-comport"), this);
    portLabel->setBuddy(m_portBox);

    m_toolTips = new QCheckBox(DialogText(kDialogId, kToolTips), this);
    SetControlId(m_toolTips, kToolTips);
    connect(m_toolTips, &QCheckBox::toggled, this, &CDlgOptionen::OnToolTipsChanged);
    m_safetyCopy =
        MakeSwitch(str::kSafetyCopyBeforeSend, kSafetyCopy, &CKonfiguration::m_safetyCopy);
    m_checkAfterSend =
        MakeSwitch(str::kCheckAfterSend, kCheckAfterSend, &CKonfiguration::m_verifyAfterSend);

    m_productionField = new QLineEdit(this);
    SetControlId(m_productionField, kProductionField);
    m_productionField->setPlaceholderText(ResText(str::kProductionRowsHint));
    m_productionField->hide();
    m_productionButton = new QPushButton(DialogText(kDialogId, kProductionButton), this);
    SetControlId(m_productionButton, kProductionButton);
    m_productionButton->setAutoDefault(false);
    m_productionButton->hide();
    connect(m_productionButton, &QPushButton::clicked, this, &CDlgOptionen::OnProductionDownload);
    m_stationButton = new QPushButton(ResText(str::kProductionStationButton), this);
    SetControlId(m_stationButton, ids::production::kStationButton);
    m_stationButton->setAutoDefault(false);
    m_stationButton->hide();
    connect(m_stationButton, &QPushButton::clicked, this, &CDlgOptionen::OpenStation);

    m_logbookButton = new QPushButton(ResText(str::kShowLogbook), this);
    SetControlId(m_logbookButton, ids::logbook::kShowButton);
    m_logbookButton->setAutoDefault(false);
    connect(m_logbookButton, &QPushButton::clicked, this, &CDlgOptionen::OnShowLogbook);

    auto* port = new QVBoxLayout;
    port->addWidget(portLabel);
    port->addWidget(m_portBox);
    port->addStretch(1);
    port->addWidget(m_logbookButton);

    const int gap = fontMetrics().height();
    auto* layout = new QGridLayout(this);
    layout->addWidget(baudGroup, 0, 0);
    layout->addLayout(port, 0, 1);
    auto* switches = new QVBoxLayout;
    switches->addWidget(m_toolTips);
    switches->addWidget(m_safetyCopy);
    switches->addWidget(m_checkAfterSend);
    layout->addLayout(switches, 1, 0, 1, 2);
    auto* production = new QHBoxLayout;
    production->addWidget(m_productionField, 1);
    production->addWidget(m_productionButton);
    production->addWidget(m_stationButton);
    layout->addLayout(production, 2, 0, 1, 3);
    layout->setHorizontalSpacing(gap * 2);
    layout->setVerticalSpacing(gap);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(3, 1);
}

QCheckBox* CDlgOptionen::MakeSwitch(int textId, int controlId, int CKonfiguration::*field) {
    auto* box = new QCheckBox(ResText(textId), this);
    SetControlId(box, controlId);
    connect(box, &QCheckBox::toggled, this,
            [this, field](bool on) { Context().config.*field = on ? 1 : 0; });
    return box;
}

void CDlgOptionen::OnSetActive() {
    const CKonfiguration& config = Context().config;
    m_baudButtons->button(BaudIndexOfRate(config.m_baudRate))->setChecked(true);
    {
        // Showing the stored value is no change by the user.
        const QSignalBlocker quiet(m_toolTips);
        m_toolTips->setChecked(config.m_toolTips != 0);
    }
    m_safetyCopy->setChecked(config.m_safetyCopy != 0);
    m_checkAfterSend->setChecked(config.m_verifyAfterSend != 0);
    m_productionField->setText(QString::fromStdString(config.m_productionFiles));
    m_portBox->setCurrentIndex(config.m_comPort);
    CPropertyPagePlus::OnSetActive();
}

void CDlgOptionen::OnKillActive() {
    CKonfiguration& config = Context().config;
    // A stored port the box does not offer shows no entry; leaving the page keeps it as it was.
    if (m_portBox->currentIndex() >= 0)
        config.m_comPort = m_portBox->currentIndex();
    config.m_baudRate = BaudRateOfIndex(m_baudButtons->checkedId());
    config.m_productionFiles = m_productionField->text().toStdString();
    CPropertyPagePlus::OnKillActive();
}

void CDlgOptionen::OnToolTipsChanged() {
    Context().config.m_toolTips = m_toolTips->isChecked() ? 1 : 0;
    SetToolTips(Context().config.m_toolTips);
}

void CDlgOptionen::OnBaudChosen(int index) {
    Context().config.m_baudRate = BaudRateOfIndex(index);
}

void CDlgOptionen::OnShowLogbook() {
    auto* window = new LogbookWindow(Context().folders.program, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

ProductionWindow* CDlgOptionen::OpenStation() {
    if (m_station.isNull()) {
        m_station = new ProductionWindow(Context(), this);
        m_station->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_station->show();
    m_station->raise();
    m_station->activateWindow();
    return m_station;
}

void CDlgOptionen::OnProductionDownload() {
    const std::array<int, 4> rows = ProductionRows(m_productionField->text().toStdString());
    struct Step {
        int page;
        int lastStep;
    };
    constexpr Step kSteps[] = {
        {kFirmwarePage, 0}, {kSettingsPage, 0}, {kListPage, 0}, {kListPage, 1}};
    for (std::size_t step = 0; step < rows.size(); ++step) {
        m_sheet.SetActivePage(kSteps[step].page);
        if (m_sheet.Page(kSteps[step].page)->SendChained(rows[step], kSteps[step].lastStep) == 0)
            break;
    }
    m_sheet.SetActivePage(kOptionsPage);
    m_productionButton->setFocus();
}

} // namespace fw
