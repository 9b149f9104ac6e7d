#pragma once

#include "platform/PasteboardItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The system clipboard as Vantorell sees it: a change count that moves once
// for every new content (a copy, in another application or in one of our
// own text fields, or a write of ours), the types on offer and their data.
// Types are the MIME formats of PasteboardType. Reads are meant to follow a
// moved change count: each one may ask the owning application for its data.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    virtual qint64 changeCount() const = 0;
    // The types on offer, or none when the owner gives no list.
    virtual std::optional<QStringList> types() = 0;
    // The data of type, or none when it is not on offer.
    virtual std::optional<QByteArray> data(const QString &type) = 0;

    // Replaces the contents with item, as one write.
    virtual void write(const PasteboardItem &item) = 0;
    // Empties the pasteboard; counts as a write.
    virtual void clear() = 0;

    // Forgets whatever was read of the current content and kept, so that
    // nothing copied stays in memory (at lock); the next read asks the
    // owner again. Our own last write stays: we serve it.
    virtual void forgetReadContent() = 0;

    bool hasType(const QString &type);
    // The plain text, decoded from UTF-8.
    std::optional<QString> string();
    // The file URLs on offer, in order; URLs of any other scheme are left
    // out.
    QList<QUrl> fileUrls();

protected:
    Pasteboard() = default;
    Q_DISABLE_COPY(Pasteboard)
};
