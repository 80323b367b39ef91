#include "gui/ui/ReportWindow.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/UserInteraction.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/Texts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fw {

ReportWindow::ReportWindow(const QString& title, const QString& text, UserInteraction& interaction,
                           QWidget* parent)
    : QDialog(parent), m_interaction(interaction) {
    setWindowTitle(title);
    m_text = new QPlainTextEdit(text, this);
    m_text->setObjectName("report");
    m_text->setReadOnly(true);
    // Places and counts line up in columns.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A verdict is one long sentence; it wraps rather than hiding behind a scroll bar.
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the buttons instead of staying in the text.
    m_text->setTabChangesFocus(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* save = m_buttons->addButton(ResText(str::kReportSave), QDialogButtonBox::ActionRole);
    save->setObjectName("save");
    connect(save, &QPushButton::clicked, this, &ReportWindow::OnSave);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_buttons);
    const QFontMetrics metrics(m_text->font());
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 90, metrics.lineSpacing() * 28);
    m_buttons->button(QDialogButtonBox::Close)->setDefault(true);
}

QPushButton* ReportWindow::AddButton(const QString& text, std::function<void()> action) {
    auto* button = m_buttons->addButton(text, QDialogButtonBox::ActionRole);
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    return button;
}

QString ReportWindow::Text() const {
    return m_text->toPlainText();
}

bool ReportWindow::SaveTo(const QString& path) {
    std::string reason;
    if (WriteFileAtomically(QFile::encodeName(path).toStdString(), Text().toStdString() + "\n",
                            reason))
        return true;
    m_interaction.ShowLastError(FormatText(LoadResString(str::kCliReportNotWritten), {reason}));
    return false;
}

void ReportWindow::OnSave() {
    const QString path = AskSavePath(this, m_interaction, ResText(str::kReportSaveTitle),
                                     QDir::home().filePath(windowTitle() + QStringLiteral(".txt")),
                                     ResText(str::kReportFilter), QStringLiteral(".txt"));
    if (!path.isEmpty())
        SaveTo(path);
}

} // namespace fw
