#include "gui/ui/ListClipboard.h"

#include "core/util/Cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>

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

void ForgetCutUnlessOnClipboard(std::optional<PendingCut>& cut) {
    if (!cut)
        return;
    const std::optional<ClipboardBytes> text = ListClipboardText();
    if (!text)
        cut.reset();
    else
        HonouredCut(cut, text->bytes);
}

QVariant CutRowLook(int role, bool bold) {
    if (role == Qt::ForegroundRole)
        return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
    if (role != Qt::FontRole)
        return {};
    QFont font;
    font.setBold(bold);
    font.setItalic(true);
    return font;
}

} // namespace fw
