#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>

namespace velmor {

// A decimal length as HTTP writes it (Content-Length, byte positions): digits
// only, no sign, no blanks, at most 18 of them; -1 for anything else.
qint64 ParseHttpLength(QByteArrayView text);

// Reads one HTTP/1.x response from the bytes of a connection as they arrive,
// in a single pass: the status line and headers (interim 1xx responses
// skipped), then the body by Content-Length, by chunked transfer coding, or
// up to the close of the connection when neither is given. Framing that is
// broken or unfinished makes the reply fail; the status itself is not judged.
// A body larger than the given limit fails the reply as soon as that is
// known: at once from an announced length or chunk size, else when the bytes
// received pass it. Nothing beyond the limit is kept.
class HttpReplyReader
{
public:
    enum class State { Reading, Complete, Failed };

    // maxBodyBytes < 0: no limit.
    explicit HttpReplyReader(qint64 maxBodyBytes = -1) : m_maxBody(maxBodyBytes) {}

    // The next bytes from the connection. Bytes after the end of the reply
    // are ignored.
    State feed(QByteArrayView data);
    // The peer closed the connection: completes a body that runs until the
    // close, fails a reply still waiting for bytes.
    State closed();

    State state() const;
    int status() const { return m_status; }
    // Body bytes received so far, and the length the reply announced (-1
    // while not known, or when the body is chunked or runs to the close).
    qint64 bodyBytes() const { return m_body.size(); }
    qint64 announcedLength() const { return m_announced; }
    // The body once complete (dechunked).
    QByteArray takeBody() { return std::move(m_body); }

private:
    enum class Step { StatusLine, Header, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done, Failed };

    void onLine(QByteArrayView line);
    void onStatusLine(QByteArrayView line);
    void onHeader(QByteArrayView line);
    void startBody();
    bool countHead(qsizetype bytes);
    bool fits(qint64 moreBytes);

    Step m_step = Step::StatusLine;
    QByteArray m_line;        // the start of a line whose end has not arrived yet
    qsizetype m_headBytes = 0; // status lines, headers and trailers so far
    int m_status = 0;
    qint64 m_contentLength = -1;
    bool m_transferCoded = false;
    bool m_chunked = false;
    qint64 m_remaining = -1; // of the body or chunk; -1: until the close
    qint64 m_maxBody = -1;
    qint64 m_announced = -1;
    QByteArray m_body;
};

} // namespace velmor
