#pragma once

#include "ui/design/DesignTokens.h"

#include <QJSEngine>
#include <QQmlEngine>

// QML reads the one DesignTokens object under the token groups' own names:
// VTColor.accent, VTGradient.brand, VTFont.caption.
namespace DesignTokenSingletons {

inline DesignTokens *shared(QJSEngine *engine)
{
    DesignTokens *tokens = &DesignTokens::instance();
    engine->setObjectOwnership(tokens, QJSEngine::CppOwnership);
    return tokens;
}

} // namespace DesignTokenSingletons

struct VTColorSingleton {
    Q_GADGET
    QML_FOREIGN(DesignTokens)
    QML_NAMED_ELEMENT(VTColor)
    QML_SINGLETON

public:
    static DesignTokens *create(QQmlEngine *, QJSEngine *engine)
    {
        return DesignTokenSingletons::shared(engine);
    }
};

struct VTGradientSingleton {
    Q_GADGET
    QML_FOREIGN(DesignTokens)
    QML_NAMED_ELEMENT(VTGradient)
    QML_SINGLETON

public:
    static DesignTokens *create(QQmlEngine *, QJSEngine *engine)
    {
        return DesignTokenSingletons::shared(engine);
    }
};

struct VTFontSingleton {
    Q_GADGET
    QML_FOREIGN(DesignTokens)
    QML_NAMED_ELEMENT(VTFont)
    QML_SINGLETON

public:
    static DesignTokens *create(QQmlEngine *, QJSEngine *engine)
    {
        return DesignTokenSingletons::shared(engine);
    }
};
