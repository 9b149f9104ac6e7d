#include "backup/BackupError.h"

using namespace Qt::StringLiterals;

QString description(const BackupError &error)
{
    switch (error.code) {
    case BackupError::writeFailed:
        return u"Couldn't save the backup: "_s + error.detail;
    case BackupError::locked:
        return u"Unlock Vantorell first."_s;
    case BackupError::privateSession:
        return u"End the private session first — it only lives in memory."_s;
    case BackupError::notABackup:
        return u"That file isn't a Vantorell backup."_s;
    case BackupError::newerVersion:
        return u"This backup was made by a newer version of Vantorell. Update Vantorell and try again."_s;
    case BackupError::wrongPassword:
        return u"Wrong password, or the backup file is damaged."_s;
    case BackupError::damaged:
        return u"The backup file is damaged and can't be read."_s;
    case BackupError::interrupted:
        return u"Vantorell locked during the restore."_s;
    case BackupError::privateSessionStarted:
        return u"A private session started during the restore."_s;
    case BackupError::lockedDuringBackup:
        return u"Vantorell locked while writing the backup. No file was written."_s;
    case BackupError::storeFailed:
        return u"Some couldn't be saved: "_s + error.detail + u'.';
    case BackupError::historyUnreadable:
        return u"Vantorell couldn't read its history from the database: "_s + error.detail
            + u". No file was written."_s;
    case BackupError::snippetsUnreadable:
        return u"Vantorell couldn't read its snippets from the database: "_s + error.detail
            + u". No file was written."_s;
    }
    return {};
}
