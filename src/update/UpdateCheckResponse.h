#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The update endpoint's reply. Every member is optional; a missing member
// and a JSON null both leave the field empty.
struct UpdateCheckResponse {
    std::optional<bool> updateAvailable {};
    std::optional<QString> latestVersion {};
    std::optional<QString> yourVersion {};
    std::optional<QString> downloadURL {};
    std::optional<QString> changelog {};

    // None unless body is a JSON object whose listed members have their
    // types; members not listed are ignored.
    static std::optional<UpdateCheckResponse> decode(const QByteArray &body);
};
