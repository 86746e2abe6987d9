#include "service/httpreply.h"

namespace velmor {

namespace {

// No service sends lines or heads this long; a peer that does is not
// speaking HTTP, and the limit keeps it from filling memory.
constexpr qsizetype kMaxLineBytes = 64 * 1024;
constexpr qsizetype kMaxHeadBytes = 256 * 1024;
// Room made up front for a body of announced length; a larger body grows as
// it arrives, so a false length costs no more than this.
constexpr qint64 kMaxReserve = 32 * 1024 * 1024;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A chunk size in hexadecimal, leading zeros allowed; -1 when it is not one
// or does not fit.
qint64 parseChunkSize(QByteArrayView text)
{
    if (text.isEmpty())
        return -1;
    qint64 value = 0;
    int significant = 0;
    for (const char c : text) {
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return -1;
        if (value != 0 || digit != 0)
            ++significant;
        if (significant > 15)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

qint64 ParseHttpLength(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18)
        return -1;
    qint64 value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

HttpReplyReader::State HttpReplyReader::state() const
{
    switch (m_step) {
    case Step::Done: return State::Complete;
    case Step::Failed: return State::Failed;
    default: return State::Reading;
    }
}

HttpReplyReader::State HttpReplyReader::feed(QByteArrayView data)
{
    while (!data.isEmpty() && state() == State::Reading) {
        if (m_step == Step::Body || m_step == Step::ChunkData) {
            const qsizetype take = m_remaining < 0 ? data.size() : qsizetype(qMin<qint64>(m_remaining, data.size()));
            if (!fits(take))
                break;
            m_body.append(data.first(take));
            data = data.sliced(take);
            if (m_remaining > 0) {
                m_remaining -= take;
                if (m_remaining == 0)
                    m_step = m_step == Step::Body ? Step::Done : Step::ChunkEnd;
            }
            continue;
        }
        // Everything else comes in lines, ended by LF with or without CR.
        const qsizetype end = data.indexOf('\n');
        if (m_line.size() + (end < 0 ? data.size() : end) > kMaxLineBytes) {
            m_step = Step::Failed;
            break;
        }
        if (end < 0) {
            m_line.append(data);
            break;
        }
        QByteArrayView line = data.first(end);
        data = data.sliced(end + 1);
        if (!m_line.isEmpty()) {
            m_line.append(line);
            line = m_line;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        onLine(line);
        m_line.clear();
    }
    return state();
}

HttpReplyReader::State HttpReplyReader::closed()
{
    if (m_step == Step::Body && m_remaining < 0)
        m_step = Step::Done;
    else if (m_step != Step::Done)
        m_step = Step::Failed;
    return state();
}

bool HttpReplyReader::fits(qint64 moreBytes)
{
    if (m_maxBody < 0 || moreBytes <= m_maxBody - m_body.size())
        return true;
    m_step = Step::Failed;
    m_body.clear();
    m_body.squeeze();
    return false;
}

bool HttpReplyReader::countHead(qsizetype bytes)
{
    m_headBytes += bytes + 1;
    if (m_headBytes <= kMaxHeadBytes)
        return true;
    m_step = Step::Failed;
    return false;
}

void HttpReplyReader::onLine(QByteArrayView line)
{
    switch (m_step) {
    case Step::StatusLine:
        if (countHead(line.size()) && !line.isEmpty()) // blank lines before a status line are skipped
            onStatusLine(line);
        break;
    case Step::Header:
        if (!countHead(line.size()))
            break;
        if (!line.isEmpty()) {
            onHeader(line);
        } else if (m_status >= 200) {
            startBody();
        } else if (m_status == 101) {
            m_step = Step::Failed; // an upgrade to another protocol was never asked for
        } else {
            m_step = Step::StatusLine; // interim response: the real one follows
        }
        break;
    case Step::ChunkSize: {
        const qsizetype extension = line.indexOf(';');
        const qint64 size = parseChunkSize((extension < 0 ? line : line.first(extension)).trimmed());
        if (size < 0) {
            m_step = Step::Failed;
        } else if (!fits(size)) {
            // refused before a byte of the chunk is read
        } else if (size == 0) {
            m_step = Step::Trailer;
        } else {
            m_remaining = size;
            m_step = Step::ChunkData;
        }
        break;
    }
    case Step::ChunkEnd:
        m_step = line.isEmpty() ? Step::ChunkSize : Step::Failed;
        break;
    case Step::Trailer:
        if (countHead(line.size()) && line.isEmpty())
            m_step = Step::Done;
        break;
    case Step::Body:
    case Step::ChunkData:
    case Step::Done:
    case Step::Failed:
        break;
    }
}

void HttpReplyReader::onStatusLine(QByteArrayView line)
{
    // HTTP/<version> <three digits>[ <reason>]
    const qsizetype space = line.indexOf(' ');
    const QByteArrayView rest = space < 0 ? QByteArrayView() : line.sliced(space + 1);
    if (!line.startsWith("HTTP/") || rest.size() < 3 || !isDigit(rest[0]) || !isDigit(rest[1]) || !isDigit(rest[2])
        || (rest.size() > 3 && rest[3] != ' ')) {
        m_step = Step::Failed;
        return;
    }
    m_status = (rest[0] - '0') * 100 + (rest[1] - '0') * 10 + (rest[2] - '0');
    m_contentLength = -1;
    m_transferCoded = false;
    m_chunked = false;
    m_step = Step::Header;
}

void HttpReplyReader::onHeader(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || line.startsWith(' ') || line.startsWith('\t'))
        return; // not a header, or a folded continuation: nothing this reader needs
    const QByteArrayView name = line.first(colon);
    const QByteArrayView value = line.sliced(colon + 1).trimmed();

    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        // Repeats must all agree; anything else leaves the body's end unknown.
        for (qsizetype from = 0; from <= value.size();) {
            qsizetype comma = value.indexOf(',', from);
            if (comma < 0)
                comma = value.size();
            const qint64 length = ParseHttpLength(value.sliced(from, comma - from).trimmed());
            if (length < 0 || (m_contentLength >= 0 && length != m_contentLength)) {
                m_step = Step::Failed;
                return;
            }
            m_contentLength = length;
            from = comma + 1;
        }
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        // The last coding decides: chunked, or the body runs until the close.
        const qsizetype comma = value.lastIndexOf(",");
        const QByteArrayView last = (comma < 0 ? value : value.sliced(comma + 1)).trimmed();
        m_transferCoded = true;
        m_chunked = last.compare("chunked", Qt::CaseInsensitive) == 0;
    }
}

void HttpReplyReader::startBody()
{
    if (m_status == 204 || m_status == 304) {
        m_step = Step::Done;
    } else if (m_transferCoded) {
        m_remaining = -1;
        m_step = m_chunked ? Step::ChunkSize : Step::Body;
    } else if (m_contentLength >= 0) {
        if (!fits(m_contentLength))
            return;
        m_announced = m_contentLength;
        m_body.reserve(qsizetype(qMin(m_contentLength, kMaxReserve)));
        m_remaining = m_contentLength;
        m_step = m_contentLength == 0 ? Step::Done : Step::Body;
    } else {
        m_remaining = -1;
        m_step = Step::Body;
    }
}

} // namespace velmor
