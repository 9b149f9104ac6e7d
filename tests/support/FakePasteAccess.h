#pragma once

#include "paste/PasteAccess.h"

#include <QStringList>

// Records each paste as "text > name of the target".
class FakePasteAccess final : public PasteAccess {
public:
    FakePasteAccess() = default;

    std::optional<RunningApplication> pasteTarget() const override { return target; }
    void setPasteTarget(const std::optional<RunningApplication> &application) override
    {
        target = application;
    }
    void pasteText(const QString &text) override
    {
        pastes.append(text + QStringLiteral(" > ") + (target ? target->localizedName : QString()));
    }

    std::optional<RunningApplication> target;
    QStringList pastes;
};
