#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QTableView;

namespace fw {

class LogbookModel;

namespace ids::logbook {
inline constexpr int kShowButton = 10608; // on the options page
inline constexpr int kFilter = 10640;
inline constexpr int kTable = 10641;
inline constexpr int kCount = 10642;
} // namespace ids::logbook

// The logbook of transfers, newest first, read-only, with a filter field; Esc closes it.
class LogbookWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogbookWindow(const std::string& dataFolder, QWidget* parent = nullptr);

    LogbookModel& Model() const { return *m_model; }

private:
    void OnFilterChanged(const QString& filter);

    LogbookModel* m_model = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_count = nullptr;
};

} // namespace fw
