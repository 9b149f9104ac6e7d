#pragma once

#include <QString>

// Why a record could not be read from its keyed (JSON) form.
struct DecodingError {
    enum class Code {
        keyNotFound,
        typeMismatch,
        dataCorrupted,
    };

    Code code;
    // The key of the offending value; empty when the record itself is not
    // an object.
    QString detail;
};

QString description(const DecodingError &error);
