#include "paste/PasteboardWriter.h"

#include "base/Utf8Text.h"
#include "capture/CapturedImage.h"
#include "text/DocumentText.h"

#include <QList>
#include <QUrl>

namespace {

std::optional<PasteboardItem> stringItem(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    return PasteboardItem::fromString(*text);
}

// Read as PNG or TIFF only, as capture reads them: content from a backup
// must not pick a decoder that follows file names.
std::optional<PasteboardItem> imageItem(const QByteArray &content)
{
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (!content.startsWith(pngSignature)) {
        const std::expected<QByteArray, CapturedImageError> png = CapturedImage::toPng(content);
        if (!png)
            return std::nullopt;
        return PasteboardItem::fromPng(*png);
    }
    if (!CapturedImage::read(content))
        return std::nullopt;
    return PasteboardItem::fromPng(content);
}

std::optional<PasteboardItem> fileItem(const QByteArray &content)
{
    const std::optional<QString> text = Utf8Text::decode(content);
    if (!text)
        return std::nullopt;
    QList<QUrl> urls;
    for (const QString &path : text->split(u'\n', Qt::SkipEmptyParts))
        urls.append(QUrl::fromLocalFile(path));
    if (urls.isEmpty())
        return std::nullopt;
    return PasteboardItem::fromFileUrls(urls);
}

} // namespace

std::optional<PasteboardItem> PasteboardWriter::item(const ClipboardEntry &entry, const QByteArray &content)
{
    std::optional<PasteboardItem> item = contentItem(entry, content);
    if (item && entry.isSensitive)
        item->markConcealed();
    return item;
}

std::optional<PasteboardItem> PasteboardWriter::contentItem(
    const ClipboardEntry &entry, const QByteArray &content)
{
    switch (entry.contentType) {
    case ContentType::plainText:
        return stringItem(Utf8Text::decode(content));
    case ContentType::richText:
        // The rich data itself is never read back: the content holds its text.
        if (!entry.hasRich()) {
            if (const std::optional<QString> text = DocumentText::fromDocument(content))
                return PasteboardItem::fromString(*text);
        }
        return stringItem(Utf8Text::decode(content));
    case ContentType::image:
        return imageItem(content);
    case ContentType::fileURL:
        return fileItem(content);
    }
    return std::nullopt;
}
