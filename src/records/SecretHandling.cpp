#include "records/SecretHandling.h"

using namespace Qt::StringLiterals;

QString rawValue(SecretHandling handling)
{
    switch (handling) {
    case SecretHandling::lock:
        return u"lock"_s;
    case SecretHandling::skip:
        return u"skip"_s;
    case SecretHandling::store:
        return u"store"_s;
    }
    return {};
}

std::optional<SecretHandling> secretHandlingFromRawValue(QStringView text)
{
    for (SecretHandling handling : allSecretHandlings) {
        if (text == rawValue(handling))
            return handling;
    }
    return std::nullopt;
}
