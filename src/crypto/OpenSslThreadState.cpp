#include "crypto/OpenSslThreadState.h"

#include <QThreadStorage>

#include <openssl/crypto.h>

namespace {

struct Release {
    ~Release() { OPENSSL_thread_stop(); }
};

} // namespace

void OpenSslThreadState::enlist()
{
    static QThreadStorage<Release *> enlisted;
    if (!enlisted.hasLocalData())
        enlisted.setLocalData(new Release);
}
