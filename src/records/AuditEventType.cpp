#include "records/AuditEventType.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const std::array<std::pair<AuditEventType, QString>, 14> &rawValues()
{
    static const std::array<std::pair<AuditEventType, QString>, 14> table {{
        {AuditEventType::appUnlocked, u"app_unlocked"_s},
        {AuditEventType::appLocked, u"app_locked"_s},
        {AuditEventType::clipboardCaptured, u"clipboard_captured"_s},
        {AuditEventType::clipboardPasted, u"clipboard_pasted"_s},
        {AuditEventType::entryDeleted, u"entry_deleted"_s},
        {AuditEventType::historyCleared, u"history_cleared"_s},
        {AuditEventType::snippetCreated, u"snippet_created"_s},
        {AuditEventType::snippetUsed, u"snippet_used"_s},
        {AuditEventType::settingsChanged, u"settings_changed"_s},
        {AuditEventType::exportPerformed, u"export_performed"_s},
        {AuditEventType::secureModeEnabled, u"secure_mode_enabled"_s},
        {AuditEventType::secureModeDisabled, u"secure_mode_disabled"_s},
        {AuditEventType::authFailed, u"auth_failed"_s},
        {AuditEventType::databaseOpened, u"database_opened"_s},
    }};
    return table;
}

} // namespace

QString rawValue(AuditEventType type)
{
    return rawValues()[static_cast<size_t>(type)].second;
}

std::optional<AuditEventType> auditEventTypeFromRawValue(QStringView text)
{
    for (const auto &[type, raw] : rawValues()) {
        if (text == raw)
            return type;
    }
    return std::nullopt;
}
