#pragma once

#include "core/ClipboardEntry.h"
#include "platform/PasteboardItem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// What a history entry puts on the pasteboard, by its kind: text and rich
// text as a plain string, an image as a picture, files as file URLs. A
// sensitive entry also carries the concealed marker.
class PasteboardWriter {
public:
    // The characters of an RTF or HTML document; none when it is neither.
    using DocumentReader = std::function<std::optional<QString>(QByteArrayView data)>;

    // None when the opened content cannot be put on the pasteboard: text that
    // is not UTF-8, a picture that does not decode, a file list without a
    // path.
    static std::optional<PasteboardItem> item(
        const ClipboardEntry &entry, const QByteArray &content, const DocumentReader &readDocument);

private:
    static std::optional<PasteboardItem> contentItem(
        const ClipboardEntry &entry, const QByteArray &content, const DocumentReader &readDocument);
};
