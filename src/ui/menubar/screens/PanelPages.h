#pragma once

#include <QDir>
#include <QString>

// Writes the panel's screens in one appearance: the four set-up steps (the
// passcode step with its error), a failed set-up, the lock screen after a
// wrong passcode, and the working panel with both banners during a private
// session.
class PanelPages final {
    Q_DISABLE_COPY(PanelPages)

public:
    explicit PanelPages(const QDir &folder) : m_folder(folder) { }

    bool write(const QString &appearance);

private:
    QDir m_folder;
};
