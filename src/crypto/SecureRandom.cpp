#include "crypto/SecureRandom.h"

#include "crypto/OpenSslThreadState.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <pthread.h>

namespace {

constexpr size_t reserveSize = 4096;

// Raised in a forked child, so it never reuses its parent's reserve.
std::atomic<unsigned> forkGeneration = 0;

struct Reserve {
    std::array<unsigned char, reserveSize> bytes;
    size_t used = reserveSize;
    unsigned generation = 0;

    ~Reserve() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
};

void registerForkHandler()
{
    static const bool registered = pthread_atfork(nullptr, nullptr, [] {
        forkGeneration.fetch_add(1, std::memory_order_relaxed);
    }) == 0;
    Q_UNUSED(registered);
}

} // namespace

std::optional<SecureBytes> SecureRandom::bytes(qsizetype count)
{
    OpenSslThreadState::enlist();
    SecureBytes result(count);
    if (count > 0 && RAND_bytes(result.data(), static_cast<int>(count)) != 1)
        return std::nullopt;
    return result;
}

bool SecureRandom::fillSmall(std::span<unsigned char> out)
{
    if (out.size() > reserveSize)
        return false;
    registerForkHandler();
    thread_local Reserve reserve;
    const unsigned generation = forkGeneration.load(std::memory_order_relaxed);
    if (reserve.generation != generation || reserveSize - reserve.used < out.size()) {
        OpenSslThreadState::enlist();
        reserve.used = reserveSize;
        if (RAND_bytes(reserve.bytes.data(), int(reserveSize)) != 1)
            return false;
        reserve.used = 0;
        reserve.generation = generation;
    }
    unsigned char *taken = reserve.bytes.data() + reserve.used;
    std::copy_n(taken, out.size(), out.begin());
    OPENSSL_cleanse(taken, out.size());
    reserve.used += out.size();
    return true;
}
