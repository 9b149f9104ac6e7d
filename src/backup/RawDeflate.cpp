#include "backup/RawDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

constexpr int rawWindowBits = -15;
constexpr int memoryLevel = 8;
constexpr qsizetype firstOutputSize = 64 * 1024;

struct DeflateEnd {
    void operator()(z_stream *stream) const { deflateEnd(stream); }
};

struct InflateEnd {
    void operator()(z_stream *stream) const { inflateEnd(stream); }
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

std::optional<QByteArray> RawDeflate::inflate(QByteArrayView input, qsizetype limit)
{
    z_stream stream {};
    if (inflateInit2(&stream, rawWindowBits) != Z_OK)
        return std::nullopt;
    const std::unique_ptr<z_stream, InflateEnd> end(&stream);
    // One byte past the limit tells a stream that goes on from one that ends
    // exactly there.
    const qsizetype capacity = limit + 1;
    QByteArray out;
    qsizetype produced = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (produced == out.size()) {
            if (out.size() == capacity)
                return std::nullopt;
            out.resize(std::min(capacity, std::max({firstOutputSize, 4 * input.size(), 2 * out.size()})));
        }
        feed(stream, input);
        produced += step(stream, out, produced, [&] { status = ::inflate(&stream, Z_NO_FLUSH); });
        // Z_BUF_ERROR with room left: the input ended inside the stream.
        if (status != Z_OK && status != Z_STREAM_END)
            return std::nullopt;
    }
    if (produced > limit || stream.avail_in != 0 || !input.isEmpty())
        return std::nullopt;
    out.truncate(produced);
    out.squeeze();
    return out;
}
