#pragma once

#include "base/RawValueTable.h"

#include <QHashFunctions>

#include <array>
#include <utility>

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

template<> struct RawValueTable<AuditEventType> {
    static constexpr std::array<std::pair<AuditEventType, QStringView>, 14> entries {{
        {AuditEventType::appUnlocked, u"app_unlocked"},
        {AuditEventType::appLocked, u"app_locked"},
        {AuditEventType::clipboardCaptured, u"clipboard_captured"},
        {AuditEventType::clipboardPasted, u"clipboard_pasted"},
        {AuditEventType::entryDeleted, u"entry_deleted"},
        {AuditEventType::historyCleared, u"history_cleared"},
        {AuditEventType::snippetCreated, u"snippet_created"},
        {AuditEventType::snippetUsed, u"snippet_used"},
        {AuditEventType::settingsChanged, u"settings_changed"},
        {AuditEventType::exportPerformed, u"export_performed"},
        {AuditEventType::secureModeEnabled, u"secure_mode_enabled"},
        {AuditEventType::secureModeDisabled, u"secure_mode_disabled"},
        {AuditEventType::authFailed, u"auth_failed"},
        {AuditEventType::databaseOpened, u"database_opened"},
    }};
};

inline size_t qHash(AuditEventType type, size_t seed = 0)
{
    return qHash(static_cast<int>(type), seed);
}
