#pragma once

#include <QDir>
#include <QString>

#include <functional>

class AppStateController;
class EncryptionService;
class MainPopoverModel;
class PanelWindow;
struct SampleDesktop;

// Writes the panel's screens in one appearance: the four set-up steps (the
// passcode step with its error), a failed set-up, the lock screen after a
// wrong passcode, and the working panel with both banners during a private
// session; then the history list: twelve entries with a selection, the
// paste stack's bar, the QR overlay, a search without matches and a history
// database that did not open.
class PanelPages final {
    Q_DISABLE_COPY(PanelPages)

public:
    explicit PanelPages(const QDir &folder) : m_folder(folder) { }

    bool write(const QString &appearance);

private:
    struct Working {
        AppStateController &appState;
        const EncryptionService &encryption;
        SampleDesktop &desktop;
        MainPopoverModel &panel;
        PanelWindow &window;
    };
    static bool writeHistory(const Working &working, const std::function<bool(const QString &)> &save);

    QDir m_folder;
};
