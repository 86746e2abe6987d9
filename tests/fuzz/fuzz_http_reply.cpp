// The HTTP reply reader fed a reply whole and in small pieces of random
// sizes: the same outcome either way, and never a body over its limit.

#include "fuzzcheck.h"

#include "service/httpreply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmor::fuzz::InputReader input(data, size);
    const std::uint8_t limitByte = input.byte();
    const std::uint8_t flags = input.byte();
    std::uint32_t seed = input.byte() | std::uint32_t(input.byte()) << 8;
    const QByteArray reply = input.restBytes();
    // No limit, or one small enough for the inputs to reach it.
    const qint64 limit = limitByte == 0 ? -1 : qint64(limitByte) * 7;
    const bool closeAtEnd = flags & 1;

    velmor::HttpReplyReader whole(limit);
    whole.feed(reply);
    if (closeAtEnd && whole.state() == velmor::HttpReplyReader::State::Reading)
        whole.closed();

    velmor::HttpReplyReader pieces(limit);
    for (qsizetype at = 0; at < reply.size();) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype piece = qMin<qsizetype>(1 + (seed >> 16) % 17, reply.size() - at);
        pieces.feed(QByteArrayView(reply).sliced(at, piece));
        at += piece;
    }
    if (closeAtEnd && pieces.state() == velmor::HttpReplyReader::State::Reading)
        pieces.closed();

    FUZZ_CHECK(whole.state() == pieces.state());
    FUZZ_CHECK(whole.status() == pieces.status());
    FUZZ_CHECK(whole.announcedLength() == pieces.announcedLength());
    FUZZ_CHECK(whole.bodyBytes() == pieces.bodyBytes());
    if (limit >= 0)
        FUZZ_CHECK(whole.bodyBytes() <= limit);
    if (whole.state() == velmor::HttpReplyReader::State::Complete)
        FUZZ_CHECK(whole.takeBody() == pieces.takeBody());
    return 0;
}
