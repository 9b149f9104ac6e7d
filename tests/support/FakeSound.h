#pragma once

#include "platform/Sound.h"

#include <QStringList>

// Records the sounds played.
class FakeSound final : public Sound {
public:
    void play(const QString &eventId) override { played.append(eventId); }

    QStringList played;
};
