#pragma once

#include "crypto/SecureBytes.h"

#include <QtGlobal>

#include <memory>
#include <mutex>

// The vault's master key while unlocked. Written on the main thread, read
// from any thread: a reader takes one reference to the current immutable
// key and keeps using it even when the key is dropped meanwhile. The buffer
// wipes itself when the last reference goes.
class MasterKeyHolder final {
    Q_DISABLE_COPY(MasterKeyHolder)

public:
    using Key = std::shared_ptr<const SecureBytes>;

    MasterKeyHolder() = default;

    void set(SecureBytes key);
    void drop();

    // The key at this moment, or null while locked.
    Key current() const;
    bool isPresent() const;
    // How many loaded keys have gone, dropped or replaced; loading a key
    // while none is loaded leaves it as it is.
    quint64 endedKeys() const;

private:
    // A std::mutex, which ThreadSanitizer understands.
    mutable std::mutex m_mutex;
    Key m_key;
    quint64 m_endedKeys = 0;
};
