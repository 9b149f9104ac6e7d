#include "ui/menubar/WindowHost.h"

#include "base/Log.h"

#include <QGuiApplication>
#include <QQmlError>
#include <QScreen>

using namespace Qt::StringLiterals;

WindowHost::WindowHost(QQmlEngine &engine, const QVariantMap &environment, QObject *parent)
    : QObject(parent), m_engine(engine), m_environment(environment)
{
}

WindowHost::~WindowHost() = default;

void WindowHost::openSettingsWindow(std::optional<SettingsSection> section)
{
    QVariantMap properties = m_settingsProperties;
    if (m_settingsWindow && m_settingsWindow->isVisible()) {
        // A new root on the asked section; with none the shown one stays.
        if (section) {
            properties.insert(u"section"_s, rawValue(*section));
            load(*m_settingsWindow, m_settingsRoot, properties);
        }
        bringForward(*m_settingsWindow);
        return;
    }
    static const Kind settings {u"Vantorell Settings"_s, {780, 560}, false};
    properties.insert(u"section"_s, rawValue(section.value_or(SettingsSection::general)));
    if (auto made = make(settings, m_settingsRoot, properties))
        m_settingsWindow = std::move(made);
}

void WindowHost::openSnippetManagerWindow()
{
    if (m_snippetWindow && m_snippetWindow->isVisible()) {
        bringForward(*m_snippetWindow);
        return;
    }
    static const Kind snippets {u"Snippets"_s, {860, 540}, true};
    if (auto made = make(snippets, m_snippetRoot, {}))
        m_snippetWindow = std::move(made);
}

void WindowHost::closeWindows()
{
    for (QQuickView *window : {m_snippetWindow.get(), m_settingsWindow.get()}) {
        if (window)
            window->close();
    }
}

bool WindowHost::load(QQuickView &window, const QUrl &root, const QVariantMap &properties)
{
    QVariantMap initial = m_environment;
    initial.insert(properties);
    window.setInitialProperties(initial);
    window.setSource(root);
    if (window.status() == QQuickView::Ready)
        return true;
    QStringList errors;
    for (const QQmlError &error : window.errors())
        errors.append(error.toString());
    Log::write(u"A window's view did not load: "_s + errors.join(u"; "_s));
    return false;
}

std::unique_ptr<QQuickView> WindowHost::make(
    const Kind &kind, const QUrl &root, const QVariantMap &properties)
{
    if (root.isEmpty()) {
        Log::write(u"No view for the window \"%1\" yet; nothing opened"_s.arg(kind.title));
        return nullptr;
    }
    auto window = std::make_unique<QQuickView>(&m_engine, nullptr);
    window->setTitle(kind.title);
    window->setResizeMode(QQuickView::SizeRootObjectToView);
    if (!load(*window, root, properties))
        return nullptr;
    window->resize(kind.size);
    if (!kind.resizable) {
        window->setMinimumSize(kind.size);
        window->setMaximumSize(kind.size);
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame(QPoint(), kind.size);
        frame.moveCenter(screen->availableGeometry().center());
        window->setPosition(frame.topLeft());
    }
    window->show();
    bringForward(*window);
    return window;
}

void WindowHost::bringForward(QQuickView &window)
{
    window.setWindowStates(window.windowStates() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.requestActivate();
}
