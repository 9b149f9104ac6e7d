#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Base64 and base64url decoding as the text tools accept it.
namespace Base64Text {

// Bytes of a Base64 or base64url text: white space anywhere is ignored,
// missing padding is restored; none for anything else.
std::optional<QByteArray> decodeBase64Text(QStringView text);

// Decoded text that is worth showing: valid, non-empty UTF-8 without
// control characters (tab, LF and CR allowed). A text shorter than eight
// characters must end with "=", so short words are not taken for Base64.
std::optional<QString> printableBase64Decoding(QStringView text);

// Whether any code point is a control or format character other than tab,
// LF and CR.
bool containsControlCharacters(QStringView text);

} // namespace Base64Text
