#include "update/UpdateClientError.h"

using namespace Qt::StringLiterals;

QString description(UpdateClientError error)
{
    switch (error) {
    case UpdateClientError::unreachable:
        return u"Couldn't reach the update server."_s;
    case UpdateClientError::badURL:
    case UpdateClientError::decoding:
        return u"Update check failed."_s;
    }
    return {};
}
