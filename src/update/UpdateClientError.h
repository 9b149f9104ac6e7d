#pragma once

#include <QString>

// Why an update check got no usable reply.
enum class UpdateClientError {
    // The request address cannot be formed.
    badURL,
    // No reply arrived: no connection, time-out, or another transport
    // failure.
    unreachable,
    // The reply body is not the expected JSON.
    decoding,
};

QString description(UpdateClientError error);
