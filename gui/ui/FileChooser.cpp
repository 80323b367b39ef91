#include "gui/ui/FileChooser.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/UserInteraction.h"

#include <QFileDialog>
#include <QFileInfo>

namespace fw {

QString AskSavePath(QWidget* owner, UserInteraction& interaction, const QString& title,
                    const QString& suggestedPath, const QString& filter, const QString& suffix) {
    QFileDialog dialog(owner, title, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Asked below, once the suffix is in place.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().front();
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    if (QFileInfo::exists(path) &&
        !interaction.AskYesNo(FormatText(LoadResString(str::kFileExistsReplace),
                                         {QFileInfo(path).fileName().toStdString()}),
                              MessageIcon::Warning))
        return {};
    return path;
}

QString AskOpenPath(QWidget* owner, const QString& title, const QString& folder,
                    const QString& filter) {
    QFileDialog dialog(owner, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace fw
