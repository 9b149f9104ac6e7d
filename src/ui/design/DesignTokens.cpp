#include "ui/design/DesignTokens.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

DesignTokens &DesignTokens::instance()
{
    static DesignTokens tokens;
    return tokens;
}

DesignTokens::DesignTokens()
{
    readPalette();
    qGuiApp->installEventFilter(this);
}

QFont DesignTokens::systemFont(qreal points, int weight) const
{
    QFont font = QGuiApplication::font();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(points * 72.0 / dpi);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QFont DesignTokens::monospacedFont(qreal points, int weight) const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(systemFont(points, weight).pointSizeF());
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QColor DesignTokens::withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

bool DesignTokens::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp) {
        if (event->type() == QEvent::ApplicationPaletteChange)
            readPalette();
        else if (event->type() == QEvent::ApplicationFontChange)
            emit fontsChanged();
    }
    return QObject::eventFilter(watched, event);
}

void DesignTokens::readPalette()
{
    const QPalette palette = QGuiApplication::palette();
    const QColor primary = palette.color(QPalette::Text);
    const QColor panel = palette.color(QPalette::Window);
    // Translucency needs a compositor; a card of the regular material reads as
    // a lighter veil over the panel.
    const QColor material = withOpacity(palette.color(QPalette::Base), 0.8);
    if (primary == m_primary && panel == m_panel && material == m_material)
        return;
    m_primary = primary;
    m_panel = panel;
    m_material = material;
    emit appearanceChanged();
}
