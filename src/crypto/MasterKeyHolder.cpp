#include "crypto/MasterKeyHolder.h"

void MasterKeyHolder::set(SecureBytes key)
{
    // Declared before the locker, so the previous key is wiped after the unlock.
    Key replacement = std::make_shared<const SecureBytes>(std::move(key));
    std::lock_guard locker(m_mutex);
    if (m_key)
        ++m_endedKeys;
    m_key.swap(replacement);
}

void MasterKeyHolder::drop()
{
    Key old;
    std::lock_guard locker(m_mutex);
    if (m_key)
        ++m_endedKeys;
    m_key.swap(old);
}

MasterKeyHolder::Key MasterKeyHolder::current() const
{
    std::lock_guard locker(m_mutex);
    return m_key;
}

bool MasterKeyHolder::isPresent() const
{
    std::lock_guard locker(m_mutex);
    return m_key != nullptr;
}

quint64 MasterKeyHolder::endedKeys() const
{
    std::lock_guard locker(m_mutex);
    return m_endedKeys;
}
