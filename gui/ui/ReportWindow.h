#pragma once

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QPlainTextEdit;
class QPushButton;

namespace fw {

class UserInteraction;

// A report of a tool (what it found, took or refused) as text the user can read, copy and
// save; a tool may add buttons that act on what the report names. Esc and Close close it.
class ReportWindow : public QDialog {
    Q_OBJECT
public:
    ReportWindow(const QString& title, const QString& text, UserInteraction& interaction,
                 QWidget* parent = nullptr);

    // A button before Save and Close; the window stays open after it.
    QPushButton* AddButton(const QString& text, std::function<void()> action);
    QString Text() const;
    // Writes the report as UTF-8, replacing the file atomically; a failure is shown.
    bool SaveTo(const QString& path);

private:
    void OnSave();

    UserInteraction& m_interaction;
    QPlainTextEdit* m_text = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace fw
