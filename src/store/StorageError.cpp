#include "store/StorageError.h"

using namespace Qt::StringLiterals;

QString description(const StorageError &error)
{
    switch (error.code) {
    case StorageError::Code::sqlitePrepareFailed:
        return u"Database statement failed: "_s + error.detail;
    case StorageError::Code::sqliteStepFailed:
        return u"Database write failed: "_s + error.detail;
    case StorageError::Code::sqliteReadFailed:
        return u"Database read failed: "_s + error.detail;
    case StorageError::Code::databaseNotOpen:
        return u"Database is not open"_s;
    case StorageError::Code::exportFailed:
        return u"Database export failed"_s;
    case StorageError::Code::memoryOnly:
        return u"A private session keeps the history in memory only"_s;
    case StorageError::Code::fileNotRemoved:
        return u"Couldn't remove "_s + error.detail;
    case StorageError::Code::openFailed:
        return u"Couldn't open "_s + error.detail;
    }
    Q_UNREACHABLE();
    return {};
}
