#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <memory>
#include <utility>

// A fixed-size byte buffer for keys, salts and passcodes that is wiped
// (OPENSSL_cleanse) when released. Unlike QByteArray it never shares or
// silently reallocates its storage, so no unwiped copy is left behind.
class SecureBytes final {
public:
    SecureBytes() = default;
    explicit SecureBytes(qsizetype size);
    explicit SecureBytes(QByteArrayView bytes);
    SecureBytes(const SecureBytes &other);
    SecureBytes &operator=(const SecureBytes &other);
    SecureBytes(SecureBytes &&other) noexcept;
    SecureBytes &operator=(SecureBytes &&other) noexcept;
    ~SecureBytes();

    // Takes a QString's UTF-8 form; the intermediate QByteArray is wiped.
    static SecureBytes fromUtf8(QStringView text);

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    unsigned char *data() { return m_data.get(); }
    const unsigned char *data() const { return m_data.get(); }
    QByteArrayView view() const { return {m_data.get(), m_size}; }

    // A plain copy for APIs that only take QByteArray (the keychain); the
    // caller owns its lifetime.
    QByteArray toByteArray() const { return view().toByteArray(); }

    bool operator==(const SecureBytes &other) const;

private:
    void wipe();

    std::unique_ptr<unsigned char[]> m_data;
    qsizetype m_size = 0;
};
