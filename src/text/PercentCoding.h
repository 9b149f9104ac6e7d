#pragma once

#include <QString>

#include <optional>

// Percent-encoding of text as UTF-8, with strict decoding (Qt's own decoder
// passes malformed escapes through).
namespace PercentCoding {

// Every byte outside A-Z, a-z, 0-9 and "-._~" as "%" and two upper-case
// hexadecimal digits.
QString encode(QStringView text);

// Each "%" and two hexadecimal digits replaced by that byte, read as UTF-8;
// "+" stays "+". None for a malformed escape or bytes that are not UTF-8.
std::optional<QString> decode(QStringView text);

// Whether the text holds at least one "%" followed by two hexadecimal
// digits.
bool containsEscape(QStringView text);

} // namespace PercentCoding
