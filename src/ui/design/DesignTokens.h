#pragma once

#include "ui/design/DiagonalGradient.h"

#include <QColor>
#include <QFont>
#include <QObject>

// The colours, the brand gradient and the fonts every view takes its look from.
// One process-wide object: C++ painting reads it directly, QML reads it as the
// VTColor, VTGradient and VTFont singletons. Colours built on the primary colour
// follow the application palette's text colour and change when the palette does
// (that is how the dark appearance arrives on Linux); the sRGB colours never change.
class DesignTokens final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(DesignTokens)

    Q_PROPERTY(QColor accent READ accent CONSTANT)
    Q_PROPERTY(QColor accentAlt READ accentAlt CONSTANT)
    Q_PROPERTY(QColor accentSoft READ accentSoft CONSTANT)
    Q_PROPERTY(QColor selection READ selection CONSTANT)
    Q_PROPERTY(QColor success READ success CONSTANT)
    Q_PROPERTY(QColor warning READ warning CONSTANT)
    Q_PROPERTY(QColor danger READ danger CONSTANT)
    Q_PROPERTY(QColor kindText READ kindText CONSTANT)
    Q_PROPERTY(QColor kindRichText READ kindRichText CONSTANT)
    Q_PROPERTY(QColor kindImage READ kindImage CONSTANT)
    Q_PROPERTY(QColor kindFile READ kindFile CONSTANT)
    Q_PROPERTY(QColor surface READ surface NOTIFY appearanceChanged)
    Q_PROPERTY(QColor hover READ hover NOTIFY appearanceChanged)
    Q_PROPERTY(QColor border READ border NOTIFY appearanceChanged)
    Q_PROPERTY(QColor surfaceStrong READ surfaceStrong NOTIFY appearanceChanged)

    // The platform colours views use beside the tokens.
    Q_PROPERTY(QColor primary READ primary NOTIFY appearanceChanged)
    Q_PROPERTY(QColor secondary READ secondary NOTIFY appearanceChanged)
    Q_PROPERTY(QColor panel READ panel NOTIFY appearanceChanged)
    Q_PROPERTY(QColor material READ material NOTIFY appearanceChanged)

    Q_PROPERTY(DiagonalGradient brand READ brand CONSTANT)

    Q_PROPERTY(QFont headline READ headline NOTIFY fontsChanged)
    Q_PROPERTY(QFont bodyEmphasis READ bodyEmphasis NOTIFY fontsChanged)
    Q_PROPERTY(QFont body READ body NOTIFY fontsChanged)
    Q_PROPERTY(QFont caption READ caption NOTIFY fontsChanged)
    Q_PROPERTY(QFont micro READ micro NOTIFY fontsChanged)

public:
    static DesignTokens &instance();

    static QColor accent() { return QColor::fromRgbF(0.36f, 0.40f, 0.96f); }
    static QColor accentAlt() { return QColor::fromRgbF(0.54f, 0.36f, 0.96f); }
    static QColor accentSoft() { return withOpacity(accent(), 0.14); }
    static QColor selection() { return withOpacity(accent(), 0.16); }
    static QColor success() { return QColor::fromRgbF(0.20f, 0.78f, 0.55f); }
    static QColor warning() { return QColor::fromRgbF(0.98f, 0.66f, 0.20f); }
    static QColor danger() { return QColor::fromRgbF(0.96f, 0.34f, 0.34f); }
    static QColor kindText() { return QColor::fromRgbF(0.42f, 0.46f, 0.99f); }
    static QColor kindRichText() { return QColor::fromRgbF(0.60f, 0.42f, 0.95f); }
    static QColor kindImage() { return QColor::fromRgbF(0.22f, 0.70f, 0.62f); }
    static QColor kindFile() { return QColor::fromRgbF(0.55f, 0.58f, 0.64f); }
    static DiagonalGradient brand() { return DiagonalGradient(accent(), accentAlt()); }

    QColor surface() const { return withOpacity(m_primary, 0.05); }
    QColor hover() const { return withOpacity(m_primary, 0.06); }
    QColor border() const { return withOpacity(m_primary, 0.08); }
    QColor surfaceStrong() const { return withOpacity(m_primary, 0.09); }

    QColor primary() const { return m_primary; }
    QColor secondary() const { return withOpacity(m_primary, 0.5); }
    QColor panel() const { return m_panel; }
    QColor material() const { return m_material; }

    QFont headline() const { return systemFont(15, QFont::DemiBold); }
    QFont bodyEmphasis() const { return systemFont(13, QFont::DemiBold); }
    QFont body() const { return systemFont(13, QFont::Normal); }
    QFont caption() const { return systemFont(11, QFont::Normal); }
    QFont micro() const { return systemFont(10, QFont::Medium); }

    // The system font at a size in points of the design (one point is one
    // device-independent pixel), whatever the screen's dots per inch.
    Q_INVOKABLE QFont systemFont(qreal points, int weight) const;
    // The same for the system's fixed-width font.
    Q_INVOKABLE QFont monospacedFont(qreal points, int weight) const;

    Q_INVOKABLE static QColor withOpacity(QColor color, qreal opacity);

signals:
    void appearanceChanged();
    void fontsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DesignTokens();
    void readPalette();

    QColor m_primary;
    QColor m_panel;
    QColor m_material;
};
