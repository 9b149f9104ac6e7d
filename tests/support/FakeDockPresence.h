#pragma once

#include "platform/DockPresence.h"

#include <QList>

// Records every policy applied.
class FakeDockPresence final : public DockPresence {
public:
    void setShownInDock(bool shown) override { applied.append(shown); }

    QList<bool> applied;
};
