#pragma once

#include <QByteArrayView>
#include <QString>
#include <QUuid>

#include <optional>

// Identifiers are stored and exchanged as upper-case canonical text
// ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F").
namespace UuidText {

QString toText(const QUuid &uuid);

// Accepts exactly 36 characters in the 8-4-4-4-12 form, either case; no
// braces, no surrounding blanks.
std::optional<QUuid> parse(QStringView text);
// The same for text as stored (UTF-8).
std::optional<QUuid> parse(QByteArrayView utf8);

} // namespace UuidText
