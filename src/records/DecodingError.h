#pragma once

#include <QString>

// Why a record could not be read from its keyed (JSON) form.
struct DecodingError {
    enum class Kind {
        keyNotFound,
        typeMismatch,
        dataCorrupted,
    };

    Kind kind;
    // The key of the offending value; empty when the record itself is not
    // an object.
    QString key;

    QString description() const;
};
