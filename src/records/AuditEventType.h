#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// The audit codes, stored and exchanged as their raw text.
enum class AuditEventType {
    appUnlocked,
    appLocked,
    clipboardCaptured,
    clipboardPasted,
    entryDeleted,
    historyCleared,
    snippetCreated,
    snippetUsed,
    settingsChanged,
    exportPerformed,
    secureModeEnabled,
    secureModeDisabled,
    authFailed,
    databaseOpened,
};

QString rawValue(AuditEventType type);

// Exact, case-sensitive match of the whole text.
std::optional<AuditEventType> auditEventTypeFromRawValue(QStringView text);

inline size_t qHash(AuditEventType type, size_t seed = 0)
{
    return qHash(static_cast<int>(type), seed);
}
