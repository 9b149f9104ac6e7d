#pragma once

#include "backup/CompressionError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <expected>
#include <memory>

struct z_stream_s;

// Raw DEFLATE streams: no zlib header, no checksum trailer.
namespace RawDeflate {

std::expected<QByteArray, CompressionError> compress(QByteArrayView data);

// The most bytes compress() can give for size input bytes.
qsizetype bound(qsizetype size);

// One stream inflated as its input arrives, so that neither side is held
// whole.
class Inflater final {
    Q_DISABLE_COPY(Inflater)

public:
    // More than limit bytes of output fail the stream.
    explicit Inflater(qsizetype limit);
    ~Inflater();

    // Once the last input is used up; input must outlive its use.
    bool needsInput() const;
    void feed(QByteArrayView input);
    // Up to size bytes of output. 0 when it has ended, has failed, or can
    // go no further without input; some input gives no output at once.
    qsizetype inflate(char *out, qsizetype size);

    // The stream's last block has come out.
    bool hasEnded() const { return m_ended; }
    // Broken, over the limit, or followed by more input.
    bool hasFailed() const { return m_failed; }

private:
    std::unique_ptr<z_stream_s> m_stream;
    // What zlib's 32-bit counts left of the input.
    QByteArrayView m_pending;
    const qsizetype m_limit;
    qsizetype m_produced = 0;
    bool m_ended = false;
    bool m_failed = false;
};

} // namespace RawDeflate
