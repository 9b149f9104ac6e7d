#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The plain characters of a rich document; styling, links and images are
// dropped. Used by capture and by the paste writer.
namespace DocumentText {

// Nothing when data is not RTF or is larger than RtfReader::maxInputSize.
std::optional<QString> fromRTF(QByteArrayView data);

// data is UTF-8 unless it starts with a byte order mark. Nothing outside the
// data is loaded: no image, style sheet or other file, local or remote.
// Nothing when data is past HtmlBounds.
std::optional<QString> fromHTML(QByteArrayView data);

// RTF or HTML, told apart by the data itself; nothing when it is neither, or
// is HTML past HtmlBounds.
std::optional<QString> fromDocument(QByteArrayView data);

} // namespace DocumentText
