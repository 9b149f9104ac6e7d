#pragma once

#include <QStringView>

// A strict JSON check (RFC 8259): the whole text is one object or array,
// with nothing but JSON white space around it. Rejects what lenient parsers
// let through: "1.", ".5", raw control characters in strings, unknown
// escapes, unpaired surrogates; and nesting deeper than 512.
namespace JsonSyntax {

bool isDocument(QStringView text);

} // namespace JsonSyntax
