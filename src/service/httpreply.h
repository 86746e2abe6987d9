#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>

namespace velmor {

// Reads one HTTP/1.x response from the bytes of a connection as they arrive,
// in a single pass: the status line and headers (interim 1xx responses
// skipped), then the body by Content-Length, by chunked transfer coding, or
// up to the close of the connection when neither is given. Framing that is
// broken or unfinished makes the reply fail; the status itself is not judged.
class HttpReplyReader
{
public:
    enum class State { Reading, Complete, Failed };

    // The next bytes from the connection. Bytes after the end of the reply
    // are ignored.
    State feed(QByteArrayView data);
    // The peer closed the connection: completes a body that runs until the
    // close, fails a reply still waiting for bytes.
    State closed();

    State state() const;
    int status() const { return m_status; }
    // The body once complete (dechunked).
    QByteArray takeBody() { return std::move(m_body); }

private:
    enum class Step { StatusLine, Header, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done, Failed };

    void onLine(QByteArrayView line);
    void onStatusLine(QByteArrayView line);
    void onHeader(QByteArrayView line);
    void startBody();
    bool countHead(qsizetype bytes);

    Step m_step = Step::StatusLine;
    QByteArray m_line;        // the start of a line whose end has not arrived yet
    qsizetype m_headBytes = 0; // status lines, headers and trailers so far
    int m_status = 0;
    qint64 m_contentLength = -1;
    bool m_transferCoded = false;
    bool m_chunked = false;
    qint64 m_remaining = -1; // of the body or chunk; -1: until the close
    QByteArray m_body;
};

} // namespace velmor
