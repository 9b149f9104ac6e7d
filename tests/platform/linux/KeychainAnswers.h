#pragma once

#include "platform/Keychain.h"

// What a keychain answered, as text that a failed comparison shows.
namespace KeychainAnswers {

using namespace Qt::StringLiterals;

inline QString loaded(Keychain &keychain, const QString &account)
{
    const auto data = keychain.load(account);
    if (!data)
        return u"error: "_s + data.error().message;
    return *data ? QString::fromLatin1((*data)->toHex()) : u"absent"_s;
}

inline QString exists(Keychain &keychain, const QString &account)
{
    const auto found = keychain.exists(account);
    if (!found)
        return u"error: "_s + found.error().message;
    return *found ? u"true"_s : u"false"_s;
}

} // namespace KeychainAnswers
