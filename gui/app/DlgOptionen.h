#pragma once

#include "core/res/StringIds.h"
#include "gui/page/PropertyPagePlus.h"

#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace fw {

class CKonfiguration;
class CReceiverSheet;
class ProductionWindow;

// The options page: the link's baud rate, the COM port (or the search), the tool tips, and in
// production mode the download that chains a firmware, a settings and two list sends.
class CDlgOptionen : public CPropertyPagePlus {
    Q_OBJECT
public:
    static constexpr int kDialogId = 162;
    enum ControlId {
        kToolTips = 1099,
        kProductionField = 1997,
        kProductionButton = 1998,
        kPortBox = 1999,
        kFirstBaudButton = 2001, // 2001..2004: 19200, 38400, 57600, 115200
        kSafetyCopy = str::kSafetyCopyBeforeSendTip,
        kCheckAfterSend = str::kCheckAfterSendTip,
    };

    CDlgOptionen(AppContext& context, CReceiverSheet& sheet, QWidget* parent = nullptr);

    void OnSetActive() override;
    void OnKillActive() override;

    // Runs the four sends across the pages; stops at the first step that does not let the
    // chain go on.
    void OnProductionDownload();

    QComboBox* PortBox() const { return m_portBox; }
    QLineEdit* ProductionField() const { return m_productionField; }
    QPushButton* ProductionButton() const { return m_productionButton; }
    QPushButton* StationButton() const { return m_stationButton; }
    // The production window, opened or brought to the front; it stays open beside the sheet.
    ProductionWindow* OpenStation();

private:
    void BuildLayout();
    void OnToolTipsChanged();
    void OnBaudChosen(int index);
    // A check box bound to one switch of the configuration, which follows it at once.
    QCheckBox* MakeSwitch(int textId, int controlId, int CKonfiguration::*field);
    void OnShowLogbook();

    CReceiverSheet& m_sheet;
    QButtonGroup* m_baudButtons = nullptr;
    QCheckBox* m_toolTips = nullptr;
    QCheckBox* m_safetyCopy = nullptr;
    QCheckBox* m_checkAfterSend = nullptr;
    QComboBox* m_portBox = nullptr;
    QLineEdit* m_productionField = nullptr;
    QPushButton* m_productionButton = nullptr;
    QPushButton* m_logbookButton = nullptr;
    QPushButton* m_stationButton = nullptr;
    QPointer<ProductionWindow> m_station;
};

} // namespace fw
