#include "gui/ui/ListClipboard.h"

#include "core/util/Cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace fw {

void SetListClipboardText(std::string_view cp1252) {
    auto* mime = new QMimeData;
    mime->setText(QString::fromStdString(Cp1252ToUtf8(cp1252)));
    mime->setData(kCp1252MimeType,
                  QByteArray(cp1252.data(), static_cast<qsizetype>(cp1252.size())));
    QApplication::clipboard()->setMimeData(mime);
}

std::optional<ClipboardBytes> ListClipboardText() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr)
        return std::nullopt;
    if (const QByteArray raw = mime->data(kCp1252MimeType); !raw.isEmpty())
        return ClipboardBytes{raw.toStdString(), true};
    const QString text = mime->text();
    if (text.isEmpty())
        return std::nullopt;
    ClipboardBytes converted;
    converted.bytes = Utf8ToCp1252(text.toStdString(), &converted.encodable);
    return converted;
}

bool ClipboardHasText() {
    return ListClipboardText().has_value();
}

} // namespace fw
