#include "text/DocumentText.h"

#include "text/HtmlBounds.h"
#include "text/RtfReader.h"
#include "text/TextExtraction.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

namespace DocumentText {

namespace {

// Copied HTML is untrusted: its images and style sheets must not make us read
// files or the network.
class ResourceFreeDocument final : public QTextDocument {
public:
    ResourceFreeDocument()
    {
        setResourceProvider([](const QUrl &) { return QVariant(); });
    }

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

// Decoded; nothing when past the bounds.
std::optional<QString> boundedHTML(QByteArrayView data)
{
    if (data.size() > HtmlBounds::maxBytes)
        return std::nullopt;
    QStringDecoder decoder(QStringConverter::encodingForData(data).value_or(QStringConverter::Utf8));
    QString html = decoder(data);
    if (!HtmlBounds::fits(html))
        return std::nullopt;
    return html;
}

QString textOfHTML(const QString &html)
{
    ResourceFreeDocument document;
    document.setHtml(html);
    QString text = document.toPlainText();
    // Images and other objects leave a placeholder character behind.
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace

std::optional<QString> fromRTF(QByteArrayView data)
{
    return RtfReader::read(data);
}

std::optional<QString> fromHTML(QByteArrayView data)
{
    if (const std::optional<QString> html = boundedHTML(data))
        return textOfHTML(*html);
    return std::nullopt;
}

std::optional<QString> fromDocument(QByteArrayView data)
{
    if (std::optional<QString> text = RtfReader::read(data))
        return text;
    const std::optional<QString> html = boundedHTML(data);
    if (html && TextExtraction::looksLikeHTML(*html))
        return textOfHTML(*html);
    return std::nullopt;
}

} // namespace DocumentText
