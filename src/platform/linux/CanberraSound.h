#pragma once

#include "platform/Sound.h"

struct ca_context;

// Plays theme sounds through libcanberra; where that cannot play (no sound
// server, no such sound in the theme) the display's bell rings instead, so a
// sound the user asked for is never silently lost.
class CanberraSound final : public Sound {
public:
    CanberraSound() = default;
    ~CanberraSound() override;

    void play(const QString &eventId) override;

private:
    bool ensureContext();

    ca_context *m_context = nullptr;
    bool m_unavailable = false;
};
