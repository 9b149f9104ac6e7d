#pragma once

#include <QString>

#include <optional>

namespace JwtText {

// The header and payload of a JSON Web Token as one pretty-printed object
// {"header": ..., "payload": ...}. Both parts are laid out as written, so
// member order and large integers survive exactly. The signature is not
// checked. None unless the text starts with "eyJ" and has three segments
// whose first two decode to JSON objects or arrays.
std::optional<QString> decodeJWT(QStringView text);

} // namespace JwtText
