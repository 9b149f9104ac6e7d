#include "platform/Pasteboard.h"

#include "platform/PasteboardType.h"

bool Pasteboard::hasType(const QString &type)
{
    const std::optional<QStringList> list = types();
    return list && list->contains(type);
}

std::optional<QString> Pasteboard::string()
{
    const std::optional<QByteArray> bytes = data(PasteboardType::string);
    if (!bytes)
        return std::nullopt;
    return QString::fromUtf8(*bytes);
}

QList<QUrl> Pasteboard::fileUrls()
{
    QList<QUrl> urls;
    const std::optional<QByteArray> list = data(PasteboardType::fileUrl);
    if (!list)
        return urls;
    // text/uri-list: one URL a line, CRLF or LF, '#' starts a comment.
    for (const QByteArray &rawLine : list->split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile())
            urls.append(url);
    }
    return urls;
}
