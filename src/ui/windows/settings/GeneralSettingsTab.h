#pragma once

#include "ui/windows/settings/SettingsWindowContext.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtQmlIntegration>

#include <chrono>

// The General section's own logic: the paste permission, checked when the
// section is shown and every 1.5 s after, the hot key's reset and the update
// check. Made by the view each time the section is shown.
class GeneralSettingsTab : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(GeneralSettingsTab)
    // Set once, by the view.
    Q_PROPERTY(SettingsWindowContext *context READ context WRITE setContext NOTIFY contextChanged)
    Q_PROPERTY(bool hasPastePermission READ hasPastePermission NOTIFY hasPastePermissionChanged)
    Q_PROPERTY(BehaviourState behaviourState READ behaviourState NOTIFY behaviourStateChanged)
    Q_PROPERTY(QString versionText READ versionText CONSTANT)
    Q_PROPERTY(QString resetHelp READ resetHelp CONSTANT)
    Q_PROPERTY(bool showsDownload READ showsDownload NOTIFY showsDownloadChanged)

public:
    // The row under the auto-paste toggle.
    enum class BehaviourState {
        CopiesOnly,
        PasteAllowed,
        PermissionMissing,
    };
    Q_ENUM(BehaviourState)

    static constexpr std::chrono::milliseconds permissionInterval {1500};

    explicit GeneralSettingsTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);
    bool hasPastePermission() const { return m_hasPastePermission; }
    BehaviourState behaviourState() const;
    static QString versionText();
    // The reset button's help: the default hot key under the desktop's names.
    static QString resetHelp();
    bool showsDownload() const;

    Q_INVOKABLE void resetHotkey();
    Q_INVOKABLE void openAccessibilitySettings();
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void openDownload();

signals:
    void contextChanged();
    void hasPastePermissionChanged();
    void behaviourStateChanged();
    void showsDownloadChanged();

private:
    void refreshPastePermission();

    QPointer<SettingsWindowContext> m_context;
    bool m_hasPastePermission = false;
    QTimer m_permissionTimer;
};
