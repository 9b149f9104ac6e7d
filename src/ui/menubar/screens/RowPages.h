#pragma once

#include <QDir>
#include <QString>

// Writes the history rows of every kind in one appearance: text, rich text,
// an image, a file, a secret counting down to its expiry, a pinned and
// starred item, the keyboard selection and a row under the pointer.
class RowPages final {
    Q_DISABLE_COPY(RowPages)

public:
    explicit RowPages(const QDir &folder) : m_folder(folder) { }

    bool write(const QString &appearance);

private:
    QDir m_folder;
};
