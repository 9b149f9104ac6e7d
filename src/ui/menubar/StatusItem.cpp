#include "ui/menubar/StatusItem.h"

#include "app/AppStateController.h"
#include "base/Log.h"
#include "settings/SettingsManager.h"
#include "ui/design/SymbolImage.h"
#include "ui/design/Symbols.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace {

constexpr int iconPixels = 32;

// A clipboard outline, for symbols the image table does not have: a tray
// icon without an image would be an empty, unclickable gap.
QImage placeholderImage(const QColor &color)
{
    QImage image(iconPixels, iconPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.5));
    painter.drawRoundedRect(QRectF(7, 5, 18, 23), 3, 3);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(11.5, 3, 9, 5), 1.5, 1.5);
    return image;
}

} // namespace

StatusItem::StatusItem(AppStateController &appState, SettingsManager &settings, QObject *parent)
    : QObject(parent), m_appState(appState), m_settings(settings)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::write(u"No system tray available: the status item shows once one appears"_s);
    m_trayIcon.setToolTip(u"Vantorell"_s);
    show(m_settings.menubarIconName());
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, [] { Log::write(u"Status item clicked"_s); });

    // The state symbol replaces the chosen one on the next turn, as every later
    // change does.
    const auto update = [this] { updateStatusIcon(); };
    connect(&m_appState, &AppStateController::isUnlockedChanged, this, update, Qt::QueuedConnection);
    connect(&m_appState, &AppStateController::isPausedChanged, this, update, Qt::QueuedConnection);
    connect(&m_appState, &AppStateController::isSecureModeActiveChanged, this, update, Qt::QueuedConnection);
    connect(&m_settings, &SettingsManager::menubarIconNameChanged, this, update, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, update, Qt::QueuedConnection);
    m_trayIcon.show();
}

QString StatusItem::symbolName(
    bool isUnlocked, bool isPaused, bool isSecureModeActive, const QString &menubarIconName)
{
    if (!isUnlocked)
        return u"lock.fill"_s;
    if (isPaused)
        return u"pause.circle"_s;
    if (isSecureModeActive)
        return u"eye.slash"_s;
    return menubarIconName;
}

void StatusItem::updateStatusIcon()
{
    show(symbolName(m_appState.isUnlocked(), m_appState.isPaused(), m_appState.isSecureModeActive(),
        m_settings.menubarIconName()));
}

void StatusItem::show(const QString &symbol)
{
    if (symbol == m_shownSymbolName)
        return;
    m_shownSymbolName = symbol;
    const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    const QString path = Symbols::resourcePath(symbol);
    QImage image = path.isEmpty() ? QImage() : SymbolImage::render(path, {iconPixels, iconPixels}, color);
    if (image.isNull())
        image = placeholderImage(color);
    m_trayIcon.setIcon(QIcon(QPixmap::fromImage(image)));
}

void StatusItem::openPanel()
{
    Log::write(u"Application reopened"_s);
}
