#include "records/DecodingError.h"

using namespace Qt::StringLiterals;

QString DecodingError::description() const
{
    switch (kind) {
    case Kind::keyNotFound:
        return u"No value for key \"%1\""_s.arg(key);
    case Kind::typeMismatch:
        return key.isEmpty() ? u"Expected an object"_s : u"Value of key \"%1\" has the wrong type"_s.arg(key);
    case Kind::dataCorrupted:
        return u"Value of key \"%1\" is not valid"_s.arg(key);
    }
    return {};
}
