#include "platform/PasteboardItem.h"

#include "platform/PasteboardType.h"

PasteboardItem PasteboardItem::fromString(const QString &text)
{
    PasteboardItem item;
    item.setData(PasteboardType::string, text.toUtf8());
    return item;
}

PasteboardItem PasteboardItem::fromPng(const QByteArray &png)
{
    PasteboardItem item;
    item.setData(PasteboardType::png, png);
    return item;
}

PasteboardItem PasteboardItem::fromFileUrls(const QList<QUrl> &urls)
{
    QByteArray list;
    for (const QUrl &url : urls) {
        list += url.toEncoded();
        list += "\r\n";
    }
    PasteboardItem item;
    item.setData(PasteboardType::fileUrl, list);
    return item;
}

void PasteboardItem::setData(const QString &type, const QByteArray &data)
{
    for (Representation &representation : representations) {
        if (representation.type == type) {
            representation.data = data;
            return;
        }
    }
    representations.append({type, data});
}

void PasteboardItem::markConcealed()
{
    setData(PasteboardType::concealed, {});
}

std::optional<QByteArray> PasteboardItem::data(const QString &type) const
{
    for (const Representation &representation : representations) {
        if (representation.type == type)
            return representation.data;
    }
    return std::nullopt;
}

QStringList PasteboardItem::types() const
{
    QStringList list;
    for (const Representation &representation : representations)
        list.append(representation.type);
    return list;
}
