#pragma once

#include "platform/GlobalHotkey.h"

#include <QList>

// A hot key the test presses, and that refuses chords on demand.
class FakeGlobalHotkey final : public GlobalHotkey {
public:
    struct Chord {
        quint32 keyCode = 0;
        quint32 modifiers = 0;
        bool operator==(const Chord &) const = default;
    };

    std::expected<void, GlobalHotkeyError> registerHotkey(quint32 keyCode, quint32 modifiers) override
    {
        m_registered.reset();
        m_registrations.append({keyCode, modifiers});
        if (m_refusal)
            return std::unexpected(*m_refusal);
        m_registered = Chord {keyCode, modifiers};
        return {};
    }

    void unregisterHotkey() override { m_registered.reset(); }

    // Later registrations fail with error; none: they succeed.
    void refuse(std::optional<GlobalHotkeyError> error) { m_refusal = error; }
    // Does nothing while no hot key is registered, as a real press would.
    void press()
    {
        if (m_registered)
            QMetaObject::invokeMethod(this, &GlobalHotkey::pressed, Qt::QueuedConnection);
    }

    const std::optional<Chord> &registered() const { return m_registered; }
    // Every registration asked for, refused or not.
    const QList<Chord> &registrations() const { return m_registrations; }

private:
    std::optional<Chord> m_registered;
    std::optional<GlobalHotkeyError> m_refusal;
    QList<Chord> m_registrations;
};
