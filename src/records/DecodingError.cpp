#include "records/DecodingError.h"

using namespace Qt::StringLiterals;

QString description(const DecodingError &error)
{
    const QString &key = error.detail;
    switch (error.code) {
    case DecodingError::Code::keyNotFound:
        return u"No value for key \"%1\""_s.arg(key);
    case DecodingError::Code::typeMismatch:
        return key.isEmpty() ? u"Expected an object"_s : u"Value of key \"%1\" has the wrong type"_s.arg(key);
    case DecodingError::Code::dataCorrupted:
        return u"Value of key \"%1\" is not valid"_s.arg(key);
    }
    return {};
}
