#include "gui/ui/Cp1252Clipboard.h"

#include "core/util/Cp1252.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace fw {

namespace {
const QString kCp1252Type = QStringLiteral("application/x-flashwerk-cp1252");
} // namespace

void PutCp1252Text(const std::string& bytes) {
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(Cp1252ToUtf8(bytes)));
    data->setData(kCp1252Type, QByteArray::fromStdString(bytes));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> ClipboardCp1252Text() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr)
        return std::string();
    if (data->hasFormat(kCp1252Type))
        return data->data(kCp1252Type).toStdString();
    if (!data->hasText())
        return std::string();
    bool lossless = true;
    std::string bytes = Utf8ToCp1252(data->text().toStdString(), &lossless);
    if (!lossless)
        return std::nullopt;
    return bytes;
}

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && (data->hasFormat(kCp1252Type) || !data->text().isEmpty());
}

} // namespace fw
