#include "backup/RawDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

constexpr int rawWindowBits = -15;
constexpr int memoryLevel = 8;

struct DeflateEnd {
    void operator()(z_stream *stream) const { deflateEnd(stream); }
};

// zlib counts in 32 bits: large buffers go through in slices.
uInt slice(qsizetype size)
{
    return uInt(std::min<qsizetype>(size, UINT_MAX));
}

// Hands the stream its next slice of input once it has used the last one.
void feed(z_stream &stream, QByteArrayView &input)
{
    if (stream.avail_in != 0 || input.isEmpty())
        return;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.data()));
    stream.avail_in = slice(input.size());
    input = input.sliced(stream.avail_in);
}

// Lets the stream write into out from produced on; returns what it wrote.
template<typename Step> qsizetype step(z_stream &stream, QByteArray &out, qsizetype produced, Step run)
{
    stream.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
    stream.avail_out = slice(out.size() - produced);
    const uInt room = stream.avail_out;
    run();
    return room - stream.avail_out;
}

int deflateStart(z_stream &stream)
{
    return deflateInit2(
        &stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, rawWindowBits, memoryLevel, Z_DEFAULT_STRATEGY);
}

} // namespace

std::expected<QByteArray, CompressionError> RawDeflate::compress(QByteArrayView data)
{
    z_stream stream {};
    if (const int status = deflateStart(stream); status != Z_OK)
        return std::unexpected(CompressionError {status});
    const std::unique_ptr<z_stream, DeflateEnd> end(&stream);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    qsizetype produced = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        feed(stream, data);
        const int flush = data.isEmpty() ? Z_FINISH : Z_NO_FLUSH;
        produced += step(stream, out, produced, [&] { status = deflate(&stream, flush); });
        // The output always has room, so anything else is a real failure.
        if (status != Z_OK && status != Z_STREAM_END)
            return std::unexpected(CompressionError {status});
    }
    out.truncate(produced);
    return out;
}

qsizetype RawDeflate::bound(qsizetype size)
{
    z_stream stream {};
    // Without a stream zlib gives its looser bound for any parameters.
    if (deflateStart(stream) != Z_OK)
        return qsizetype(deflateBound(nullptr, uLong(size)));
    const std::unique_ptr<z_stream, DeflateEnd> end(&stream);
    return qsizetype(deflateBound(&stream, uLong(size)));
}

RawDeflate::Inflater::Inflater(qsizetype limit) : m_stream(std::make_unique<z_stream>()), m_limit(limit)
{
    m_failed = inflateInit2(m_stream.get(), rawWindowBits) != Z_OK;
}

RawDeflate::Inflater::~Inflater()
{
    inflateEnd(m_stream.get());
}

bool RawDeflate::Inflater::needsInput() const
{
    return m_stream->avail_in == 0 && m_pending.isEmpty();
}

void RawDeflate::Inflater::feed(QByteArrayView input)
{
    if (input.isEmpty() || m_failed)
        return;
    // Anything after the last block is not one stream.
    if (m_ended) {
        m_failed = true;
        return;
    }
    m_pending = input;
    ::feed(*m_stream, m_pending);
}

qsizetype RawDeflate::Inflater::inflate(char *out, qsizetype size)
{
    if (m_failed || m_ended || size <= 0)
        return 0;
    // Called even without input: output may wait inside the stream.
    ::feed(*m_stream, m_pending);
    m_stream->next_out = reinterpret_cast<Bytef *>(out);
    m_stream->avail_out = slice(size);
    const uInt room = m_stream->avail_out;
    const int status = ::inflate(m_stream.get(), Z_NO_FLUSH);
    const qsizetype produced = room - m_stream->avail_out;
    m_produced += produced;
    m_ended = status == Z_STREAM_END;
    // Z_BUF_ERROR only says no progress was possible.
    if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) || m_produced > m_limit
        || (m_ended && (m_stream->avail_in != 0 || !m_pending.isEmpty())))
        m_failed = true;
    return m_failed ? 0 : produced;
}
