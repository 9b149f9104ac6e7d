#pragma once

#include "platform/KeySender.h"

#include <QList>

// Records what would have been typed.
class FakeKeySender final : public KeySender {
public:
    struct Posted {
        enum class Kind { pasteChord, caretLeft };
        Kind kind;
        int steps = 0;
        bool operator==(const Posted &) const = default;
    };

    FakeKeySender() = default;

    bool isPermitted() const override { return m_permitted; }

    void postPasteChord() override
    {
        if (m_permitted)
            m_posted.append({Posted::Kind::pasteChord});
    }

    void postCaretLeft(int steps) override
    {
        if (m_permitted && steps > 0)
            m_posted.append({Posted::Kind::caretLeft, steps});
    }

    void setPermitted(bool permitted) { m_permitted = permitted; }
    const QList<Posted> &posted() const { return m_posted; }

private:
    bool m_permitted = true;
    QList<Posted> m_posted;
};
