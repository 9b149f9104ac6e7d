#include "store/StorageError.h"

using namespace Qt::StringLiterals;

QString StorageError::errorDescription() const
{
    switch (m_code) {
    case Code::sqlitePrepareFailed:
        return u"Database statement failed: "_s + m_message;
    case Code::sqliteStepFailed:
        return u"Database write failed: "_s + m_message;
    case Code::databaseNotOpen:
        return u"Database is not open"_s;
    case Code::exportFailed:
        return u"Database export failed"_s;
    }
    Q_UNREACHABLE();
    return {};
}
