#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// What one pasteboard write puts on offer: data for each type, in order.
struct PasteboardItem {
    struct Representation {
        QString type;
        QByteArray data;
        friend bool operator==(const Representation &, const Representation &) = default;
    };

    QList<Representation> representations;

    static PasteboardItem fromString(const QString &text);
    static PasteboardItem fromPng(const QByteArray &png);
    // One file URL per path, as text/uri-list.
    static PasteboardItem fromFileUrls(const QList<QUrl> &urls);

    // Sets the data of type, replacing what the item held for it.
    void setData(const QString &type, const QByteArray &data);
    // Adds the concealed marker (empty data), so clipboard tools keep the
    // item out of their histories.
    void markConcealed();

    std::optional<QByteArray> data(const QString &type) const;
    QStringList types() const;

    friend bool operator==(const PasteboardItem &, const PasteboardItem &) = default;
};
