#pragma once

#include "gui/link/DlgSenden.h"
#include "gui/link/DlgSpeichernAls.h"
#include "gui/print/DlgDrucke.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace fw {

// Answers the modal windows a test opens, one action per window, in order: Qt's own dialogs
// and the program's dialogs (message boxes are answered by a scripted interaction). A window
// that comes without an action is recorded and closed, so a test fails instead of hanging.
class ModalDriver {
public:
    using Action = std::function<void(QWidget*)>;

    explicit ModalDriver(const QWidget* owner) : m_owner(owner) {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start();
    }

    void Then(Action action) { m_actions.push_back(std::move(action)); }
    // Types the name (and description) into the save dialog and presses OK.
    void ThenSaveAs(const QString& name, const QString& description = {}) {
        Then([this, name, description](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>(QString::number(ids::saveAs::kName));
            ASSERT_NE(edit, nullptr) << modal->metaObject()->className();
            proposedNames.push_back(edit->text());
            edit->setText(name);
            modal->findChild<QLineEdit*>(QString::number(ids::saveAs::kDescription))
                ->setText(description);
            Click(modal->findChild<QPushButton*>(QString::number(ids::saveAs::kOk)));
        });
    }
    // Runs later, from an event of its own: the action may open a nested modal window, which
    // this driver must answer while the action still runs.
    void Later(QObject* context, std::function<void()> action) {
        ++m_pending;
        QTimer::singleShot(0, context, [this, action = std::move(action)] {
            --m_pending;
            action();
        });
    }
    void Click(QAbstractButton* button) {
        // A window without the button fails the test; a null context would click on nullptr.
        if (button == nullptr) {
            ADD_FAILURE() << "the window has no such button";
            return;
        }
        Later(button, [button] { button->click(); });
    }

    const std::vector<QString>& Unexpected() const { return m_unexpected; }
    // What each save dialog offered before ThenSaveAs typed over it.
    std::vector<QString> proposedNames;
    bool Done() const { return m_actions.empty(); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        // The transfer dialogs and print progress windows are driven by the test.
        if (m_pending > 0 || modal == nullptr || qobject_cast<CDlgSenden*>(modal) != nullptr ||
            qobject_cast<CDlgDrucke*>(modal) != nullptr || modal == m_owner || !modal->isVisible())
            return;
        if (m_actions.empty()) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            m_unexpected.push_back(box != nullptr ? box->text()
                                                  : QString(modal->metaObject()->className()));
            modal->close();
            return;
        }
        Action action = std::move(m_actions.front());
        m_actions.pop_front();
        action(modal);
    }

    const QWidget* m_owner;
    QTimer m_poll;
    std::deque<Action> m_actions;
    std::vector<QString> m_unexpected;
    int m_pending = 0;
};

// Every window the driver met had an action, and every action met its window.
inline void ExpectAllAnswered(const ModalDriver& driver) {
    EXPECT_TRUE(driver.Done());
    for (const QString& text : driver.Unexpected())
        ADD_FAILURE() << "unexpected window: " << text.toStdString();
}

// Closes each transfer dialog once its job has ended; a chained step closes itself.
class TransferCloser {
public:
    TransferCloser() {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CDlgSenden*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->isVisible() && !dialog->WorkerRunning() &&
                dialog->Outcome() != JobOutcome::Running) {
                outcomes.push_back(dialog->Outcome());
                closeCaptions.push_back(dialog->CloseButtonText().toStdString());
                dialog->reject();
            }
        });
        m_poll.start();
    }
    std::vector<JobOutcome> outcomes;
    std::vector<std::string> closeCaptions; // what the dialog's close button read at the end

private:
    QTimer m_poll;
};

} // namespace fw
