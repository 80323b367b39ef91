#pragma once

#include "core/config/DruckDat.h"

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace fw {

class MarginEdit;
class UserInteraction;

namespace ids::pageSetup {
inline constexpr int kDialog = 200;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kColumns = 1114;
inline constexpr int kHeaderText = 1115;
inline constexpr int kHeaderFont = 1117;
inline constexpr int kMainFont = 1120;
inline constexpr int kTopMargin = 1030;
inline constexpr int kRightMargin = 1031;
inline constexpr int kLeftMargin = 1021;
inline constexpr int kBottomMargin = 1027;
} // namespace ids::pageSetup

// The page setup of the printout: which columns, the header text, fonts and colours, and the
// margins. It edits the settings in place: OK stores the fields, unless they leave no room on
// the default paper for one table row; a font and colour chosen with the font buttons are
// stored at once and stay even when the dialog is cancelled. The footer text is neither shown
// nor changed.
//
//   PageSetupDialog dialog(context.config.m_printSettings, *context.interaction, parent);
//   dialog.exec();
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    // interaction says why a margin or font is refused.
    PageSetupDialog(CDruckDat& settings, UserInteraction& interaction, QWidget* parent = nullptr);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The colour dialog that follows the font dialog has the title colourTitle.
    void ChooseFont(LogFont& font, std::uint32_t& colour, int colourTitle);
    // The field's number; false after telling the user why there is none.
    bool ReadMargin(MarginEdit* field, int& margin);
    // False after telling the user which setting leaves no room for a row.
    bool CheckLayout(const CDruckDat& candidate);
    void ToggleSelectedColumns();

    CDruckDat& m_settings;
    UserInteraction& m_interaction;
    QListWidget* m_columns = nullptr;
    QLineEdit* m_headerText = nullptr;
    QPushButton* m_headerFont = nullptr;
    QPushButton* m_mainFont = nullptr;
    MarginEdit* m_topMargin = nullptr;
    MarginEdit* m_leftMargin = nullptr;
    MarginEdit* m_rightMargin = nullptr;
    MarginEdit* m_bottomMargin = nullptr;
};

} // namespace fw
