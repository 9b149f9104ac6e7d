#pragma once

#include <QString>

// Short event sounds from the desktop's sound theme.
class Sound {
public:
    virtual ~Sound() = default;

    // eventId names a sound of the freedesktop sound theme, such as
    // "complete". Returns at once; the sound plays on its own.
    virtual void play(const QString &eventId) = 0;

protected:
    Sound() = default;
    Q_DISABLE_COPY(Sound)
};
