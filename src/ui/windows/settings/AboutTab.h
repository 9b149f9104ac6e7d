#pragma once

#include "ui/windows/settings/SettingsWindowContext.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantList>
#include <QtQmlIntegration>

// The About section's own logic: the running version and build, and the
// links it opens.
class AboutTab : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(AboutTab)
    // Set once, by the view.
    Q_PROPERTY(SettingsWindowContext *context READ context WRITE setContext NOTIFY contextChanged)
    Q_PROPERTY(QString versionText READ versionText CONSTANT)
    // Each link in order: its title and its URL.
    Q_PROPERTY(QVariantList links READ links CONSTANT)

public:
    explicit AboutTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);

    // The running application's version and build.
    static QString versionText();
    // Empty values fall back to "1.2.0" and "1".
    static QString versionText(const QString &version, const QString &build);
    static QVariantList links();

    // Hands the link at index in links to the desktop.
    Q_INVOKABLE void openLink(int index);

signals:
    void contextChanged();

private:
    QPointer<SettingsWindowContext> m_context;
};
