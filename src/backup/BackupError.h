#pragma once

#include <QString>

// The failures of backup work, each with its user text.
struct BackupError {
    enum Code {
        writeFailed,
        locked,
        privateSession,
        notABackup,
        newerVersion,
        wrongPassword,
        damaged,
    };

    Code code;
    // What went wrong, for writeFailed.
    QString detail {};

    static BackupError failedToWrite(QString detail) { return {writeFailed, std::move(detail)}; }

    bool operator==(const BackupError &other) const = default;
};

QString description(const BackupError &error);
