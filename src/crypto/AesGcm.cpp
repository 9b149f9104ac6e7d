#include "crypto/AesGcm.h"

#include "crypto/OpenSslThreadState.h"

#include <QThreadStorage>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace {

struct CipherFree {
    void operator()(EVP_CIPHER *cipher) const { EVP_CIPHER_free(cipher); }
};

struct ContextFree {
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};

using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

// Fetched once: an implicit fetch on every call costs more than sealing a
// short item.
const EVP_CIPHER *aes256Gcm()
{
    static const std::unique_ptr<EVP_CIPHER, CipherFree> cipher(
        EVP_CIPHER_fetch(nullptr, "AES-256-GCM", nullptr));
    return cipher.get();
}

// One context per thread, kept for its allocation. It is keyed for each call
// and reset after it, so that no key schedule outlives the call. It ends with
// the thread's other OpenSSL state, in Qt's per-thread storage.
EVP_CIPHER_CTX *threadContext()
{
    struct ThreadContext {
        Context context;
    };
    static QThreadStorage<ThreadContext *> contexts;
    if (!contexts.hasLocalData()) {
        OpenSslThreadState::enlist();
        contexts.setLocalData(new ThreadContext);
    }
    Context &context = contexts.localData()->context;
    if (!context)
        context.reset(EVP_CIPHER_CTX_new());
    return context.get();
}

// Wipes the context's key when the call ends, however it ends.
class ContextReset final {
    Q_DISABLE_COPY(ContextReset)

public:
    explicit ContextReset(EVP_CIPHER_CTX *context) : m_context(context) { }
    ~ContextReset()
    {
        if (m_context)
            EVP_CIPHER_CTX_reset(m_context);
    }

private:
    EVP_CIPHER_CTX *m_context;
};

const unsigned char *bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

bool fitsInt(QByteArrayView view)
{
    return view.size() <= INT_MAX;
}

// Keys the context for sealing or opening and feeds the associated data.
bool start(EVP_CIPHER_CTX *context, bool sealing, QByteArrayView key, QByteArrayView nonce,
    QByteArrayView associatedData)
{
    if (!aes256Gcm()
        || EVP_CipherInit_ex2(context, aes256Gcm(), bytes(key), bytes(nonce), sealing ? 1 : 0, nullptr) != 1)
        return false;
    int written = 0;
    return associatedData.isEmpty()
        || EVP_CipherUpdate(context, nullptr, &written, bytes(associatedData), int(associatedData.size()))
        == 1;
}

// Seals plaintext into box, which holds plaintext.size() + overhead bytes;
// the plaintext may already lie where its ciphertext goes.
std::expected<void, CipherError> sealInto(QByteArrayView key, QByteArrayView nonce, QByteArrayView plaintext,
    QByteArrayView associatedData, unsigned char *box)
{
    if (key.size() != AesGcm::keySize || nonce.size() != AesGcm::nonceSize
        || plaintext.size() > INT_MAX - AesGcm::overhead || !fitsInt(associatedData))
        return std::unexpected(CipherError::incorrectParameterSize);
    EVP_CIPHER_CTX *context = threadContext();
    const ContextReset reset(context);
    unsigned char *ciphertext = box + AesGcm::nonceSize;
    std::copy(nonce.begin(), nonce.end(), box);
    int written = 0;
    int finalWritten = 0;
    if (!context || !start(context, true, key, nonce, associatedData)
        || (!plaintext.isEmpty()
            && EVP_CipherUpdate(context, ciphertext, &written, bytes(plaintext), int(plaintext.size())) != 1)
        || EVP_CipherFinal_ex(context, ciphertext + written, &finalWritten) != 1
        || EVP_CIPHER_CTX_ctrl(
               context, EVP_CTRL_GCM_GET_TAG, int(AesGcm::tagSize), ciphertext + plaintext.size())
            != 1)
        return std::unexpected(CipherError::underlyingFailure);
    return {};
}

// Opens box into out, which holds box.size() - overhead bytes.
std::expected<void, CipherError> openInto(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData, unsigned char *out)
{
    if (key.size() != AesGcm::keySize || !fitsInt(box) || !fitsInt(associatedData))
        return std::unexpected(CipherError::incorrectParameterSize);
    EVP_CIPHER_CTX *context = threadContext();
    const ContextReset reset(context);
    const QByteArrayView nonce = box.first(AesGcm::nonceSize);
    const QByteArrayView ciphertext = box.sliced(AesGcm::nonceSize, box.size() - AesGcm::overhead);
    QByteArray tag = box.last(AesGcm::tagSize).toByteArray();
    int written = 0;
    if (!context || !start(context, false, key, nonce, associatedData)
        || (!ciphertext.isEmpty()
            && EVP_CipherUpdate(context, out, &written, bytes(ciphertext), int(ciphertext.size())) != 1)
        || EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_SET_TAG, int(AesGcm::tagSize), tag.data()) != 1)
        return std::unexpected(CipherError::underlyingFailure);
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(context, out + written, &finalWritten) != 1)
        return std::unexpected(CipherError::authenticationFailure);
    return {};
}

} // namespace

std::expected<QByteArray, CipherError> AesGcm::seal(
    QByteArrayView key, QByteArrayView nonce, QByteArrayView plaintext, QByteArrayView associatedData)
{
    if (plaintext.size() > INT_MAX - overhead)
        return std::unexpected(CipherError::incorrectParameterSize);
    QByteArray box(plaintext.size() + overhead, Qt::Uninitialized);
    auto sealed
        = sealInto(key, nonce, plaintext, associatedData, reinterpret_cast<unsigned char *>(box.data()));
    if (!sealed)
        return std::unexpected(sealed.error());
    return box;
}

std::expected<void, CipherError> AesGcm::sealInPlace(
    QByteArrayView key, QByteArrayView nonce, QByteArray &data, QByteArrayView associatedData)
{
    const qsizetype size = data.size();
    if (size > INT_MAX - overhead)
        return std::unexpected(CipherError::incorrectParameterSize);
    data.resize(size + overhead);
    auto *box = reinterpret_cast<unsigned char *>(data.data());
    std::memmove(box + nonceSize, box, size_t(size));
    return sealInto(key, nonce, QByteArrayView(data).sliced(nonceSize, size), associatedData, box);
}

std::expected<QByteArray, CipherError> AesGcm::open(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData)
{
    if (box.size() < overhead)
        return std::unexpected(CipherError::incorrectParameterSize);
    QByteArray plaintext(box.size() - overhead, Qt::Uninitialized);
    auto opened = openInto(key, box, associatedData, reinterpret_cast<unsigned char *>(plaintext.data()));
    if (!opened)
        return std::unexpected(opened.error());
    return plaintext;
}

std::expected<SecureBytes, CipherError> AesGcm::openSecret(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData)
{
    if (box.size() < overhead)
        return std::unexpected(CipherError::incorrectParameterSize);
    SecureBytes plaintext(box.size() - overhead);
    auto opened = openInto(key, box, associatedData, plaintext.data());
    if (!opened)
        return std::unexpected(opened.error());
    return plaintext;
}

AesGcm::Opener::Opener(QByteArrayView key, QByteArrayView nonce, QByteArrayView associatedData)
{
    if (key.size() != keySize || nonce.size() != nonceSize || !fitsInt(associatedData))
        return;
    m_context = EVP_CIPHER_CTX_new();
    if (m_context && !start(m_context, false, key, nonce, associatedData)) {
        EVP_CIPHER_CTX_free(m_context);
        m_context = nullptr;
    }
}

AesGcm::Opener::~Opener()
{
    // Freeing wipes the key schedule.
    EVP_CIPHER_CTX_free(m_context);
}

bool AesGcm::Opener::update(char *data, qsizetype size)
{
    auto *bytes = reinterpret_cast<unsigned char *>(data);
    while (m_context && size > 0) {
        const int slice = int(std::min<qsizetype>(size, INT_MAX));
        int written = 0;
        if (EVP_CipherUpdate(m_context, bytes, &written, bytes, slice) != 1 || written != slice)
            return false;
        bytes += slice;
        size -= slice;
    }
    return m_context != nullptr;
}

bool AesGcm::Opener::finish(QByteArrayView tag)
{
    if (!m_context || tag.size() != tagSize)
        return false;
    QByteArray expected = tag.toByteArray();
    unsigned char none[tagSize];
    int written = 0;
    return EVP_CIPHER_CTX_ctrl(m_context, EVP_CTRL_GCM_SET_TAG, int(tagSize), expected.data()) == 1
        && EVP_CipherFinal_ex(m_context, none, &written) == 1;
}
