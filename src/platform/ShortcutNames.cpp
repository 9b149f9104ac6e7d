#include "platform/ShortcutNames.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace ShortcutNames {

QString shown(const QString &display)
{
    // In the order the names are written.
    static constexpr std::array<std::pair<char16_t, QStringView>, 4> modifiers {{
        {u'⌘', command},
        {u'⌃', control},
        {u'⌥', option},
        {u'⇧', shift},
    }};
    static constexpr std::array<std::pair<QStringView, QStringView>, 8> keys {{
        {u"↩", u"Return"},
        {u"⇥", u"Tab"},
        {u"⌫", u"Backspace"},
        {u"⎋", u"Esc"},
        {u"←", u"Left"},
        {u"→", u"Right"},
        {u"↓", u"Down"},
        {u"↑", u"Up"},
    }};

    qsizetype keyStart = 0;
    while (keyStart < display.size() && std::ranges::any_of(modifiers, [&](const auto &modifier) {
        return display[keyStart] == modifier.first;
    }))
        ++keyStart;
    const QStringView held = QStringView(display).first(keyStart);
    QString key = display.sliced(keyStart);
    for (const auto &[symbol, name] : keys) {
        if (key == symbol)
            key = name.toString();
    }

    QStringList names;
    for (const auto &[symbol, name] : modifiers) {
        if (held.contains(symbol))
            names.append(name.toString());
    }
    if (!key.isEmpty())
        names.append(key);
    return names.join(u'+');
}

} // namespace ShortcutNames
