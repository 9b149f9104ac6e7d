#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <vector>

class EncryptionService;

// A home folder holding a vault for the real program: history seeded under
// the key of the session keyring, no passcode, the history limit above the
// entries. Shared by the benchmarks that start `vantorell`.
struct SeededVault {
    int count = 0;
    // The plaintext content of entry index (0 is the newest).
    std::function<QByteArray(int index)> content;
    // Pictures get no preview and no search text.
    bool picture = false;
    QTemporaryDir home {};

    QString dataHome() const;
    QString configHome() const;
    QString settingsFile() const;
    // This process's environment with the home and XDG folders moved here,
    // on the desktop's own display platform.
    QProcessEnvironment environment() const;
    void seed(const EncryptionService &encryption);
};

// Text of size bytes made of words, different for each index.
QByteArray sampleText(int index, qsizetype size);

double median(std::vector<double> values);

// VmRSS of a running process, in KiB; -1 when it is gone.
qint64 residentKiB(qint64 pid);
