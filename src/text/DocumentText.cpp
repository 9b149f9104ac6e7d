#include "text/DocumentText.h"

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

QString decodeHTML(QByteArrayView data)
{
    QStringDecoder decoder(QStringConverter::encodingForData(data).value_or(QStringConverter::Utf8));
    return decoder(data);
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

QString fromHTML(QByteArrayView data)
{
    return textOfHTML(decodeHTML(data));
}

std::optional<QString> fromDocument(QByteArrayView data)
{
    if (std::optional<QString> text = RtfReader::read(data))
        return text;
    const QString decoded = decodeHTML(data);
    if (TextExtraction::looksLikeHTML(decoded))
        return textOfHTML(decoded);
    return std::nullopt;
}

} // namespace DocumentText
