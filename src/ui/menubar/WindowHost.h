#pragma once

#include "ui/menubar/SettingsSection.h"

#include <QObject>
#include <QQuickView>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>

class QQmlEngine;

// The settings and snippet windows over the views their own modules
// register. A window is made on the first request, reused (brought back and
// to the front) while it is shown or minimised, and made anew, centred, once
// the user has closed it. Main thread only.
class WindowHost final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WindowHost)

public:
    // Every view gets environment as initial properties; the engine outlives
    // the host.
    WindowHost(QQmlEngine &engine, const QVariantMap &environment, QObject *parent = nullptr);
    ~WindowHost() override;

    // The root views; a view gets the section to open on as the raw text in
    // its property "section". The settings view also gets properties, for
    // what only its own module knows.
    void setSettingsRoot(const QUrl &root, const QVariantMap &properties = {})
    {
        m_settingsRoot = root;
        m_settingsProperties = properties;
    }
    void setSnippetManagerRoot(const QUrl &root) { m_snippetRoot = root; }

    // No section: an open window keeps the section it shows, a new one opens
    // on the first.
    void openSettingsWindow(std::optional<SettingsSection> section);
    void openSnippetManagerWindow();
    // Closes both windows, as locking does.
    void closeWindows();

    QQuickView *settingsWindow() const { return m_settingsWindow.get(); }
    QQuickView *snippetWindow() const { return m_snippetWindow.get(); }

private:
    struct Kind {
        QString title;
        QSize size;
        bool resizable;
    };

    // False when no view is registered or it does not load.
    bool load(QQuickView &window, const QUrl &root, const QVariantMap &properties);
    std::unique_ptr<QQuickView> make(const Kind &kind, const QUrl &root, const QVariantMap &properties);
    static void bringForward(QQuickView &window);

    QQmlEngine &m_engine;
    QVariantMap m_environment;
    QUrl m_settingsRoot;
    QVariantMap m_settingsProperties;
    QUrl m_snippetRoot;
    std::unique_ptr<QQuickView> m_settingsWindow;
    std::unique_ptr<QQuickView> m_snippetWindow;
};
