#pragma once

#include "capture/CaptureStateAccess.h"

#include <QList>

// An application state whose pause the test sets; entry updates and the
// last copy refusal are recorded.
class FakeCaptureStateAccess final : public CaptureStateAccess {
public:
    struct Replacement {
        QUuid id;
        std::optional<QByteArray> encryptedPreview;
        std::optional<QByteArray> encryptedSearchText;
    };

    bool isPaused() const override { return paused; }

    void replaceEntry(const QUuid &id, const std::optional<QByteArray> &encryptedPreview,
        const std::optional<QByteArray> &encryptedSearchText) override
    {
        replacements.append({id, encryptedPreview, encryptedSearchText});
    }

    void setCopyRefusal(const QString &reason) override { copyRefusal = reason; }

    bool paused = false;
    QList<Replacement> replacements;
    QString copyRefusal;
};
