#include "store/SqliteSavepoint.h"

#include "store/StoreDatabase.h"

using namespace Qt::StringLiterals;

SqliteSavepoint::SqliteSavepoint(StoreDatabase &database, QString name)
    : m_database(database), m_name(std::move(name))
{
    m_active = m_database.execute(u"SAVEPOINT "_s + m_name);
}

SqliteSavepoint::~SqliteSavepoint()
{
    if (!m_active)
        return;
    m_database.execute(u"ROLLBACK TO "_s + m_name);
    m_database.execute(u"RELEASE "_s + m_name);
}

bool SqliteSavepoint::release()
{
    if (!m_active)
        return false;
    if (!m_database.execute(u"RELEASE "_s + m_name))
        return false;
    m_active = false;
    return true;
}
