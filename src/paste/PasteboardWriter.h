#pragma once

#include "platform/PasteboardItem.h"
#include "records/ClipboardEntry.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What a history entry puts on the pasteboard, by its kind: text and rich
// text as a plain string, an image as a picture, files as file URLs. A
// sensitive entry also carries the concealed marker.
class PasteboardWriter {
public:
    // None when the opened content cannot be put on the pasteboard: text that
    // is not UTF-8, a picture that does not decode, a file list without a
    // path.
    static std::optional<PasteboardItem> item(const ClipboardEntry &entry, const QByteArray &content);

private:
    static std::optional<PasteboardItem> contentItem(const ClipboardEntry &entry, const QByteArray &content);
};
