#include "cli/terminal.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmor::cli {

namespace {

void writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return; // a closed pipe: nobody reads any more
        }
        data += written;
        left -= written;
    }
}

// Turns the terminal's echo off for as long as it lives.
class EchoOff
{
public:
    EchoOff()
    {
        if (::tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        m_active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

// One line from standard input, read byte by byte so that nothing after it
// is taken from the terminal; nothing at the end of input.
std::optional<QByteArray> readLine()
{
    QByteArray line;
    for (;;) {
        char ch = 0;
        const ssize_t n = ::read(STDIN_FILENO, &ch, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return line.isEmpty() ? std::nullopt : std::optional<QByteArray>(line);
        if (ch == '\n')
            return line;
        line += ch;
    }
}

} // namespace

void Output(const QByteArray &bytes)
{
    writeAll(STDOUT_FILENO, bytes);
}

void OutputLine(const QString &line)
{
    Output(line.toUtf8() + '\n');
}

void Message(const QString &text)
{
    writeAll(STDERR_FILENO, text.toUtf8() + '\n');
}

bool InputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<QString> AskLine(const QString &prompt, bool echo)
{
    writeAll(STDERR_FILENO, prompt.toUtf8());
    std::optional<QByteArray> line;
    if (echo) {
        line = readLine();
    } else {
        const EchoOff quiet;
        line = readLine();
        writeAll(STDERR_FILENO, "\n");
    }
    if (!line)
        return std::nullopt;
    if (line->endsWith('\r'))
        line->chop(1);
    return QString::fromUtf8(*line);
}

bool AskYesNo(const QString &question)
{
    const std::optional<QString> answer = AskLine(question + u" [e/H] "_s);
    if (!answer)
        return false;
    const QString word = answer->trimmed().toLower();
    return QStringList{u"e"_s, u"evet"_s, u"y"_s, u"yes"_s}.contains(word);
}

std::optional<QByteArray> ReadStandardInput(qsizetype limit)
{
    QByteArray all;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        all.append(buffer, n);
        if (all.size() > limit)
            return std::nullopt;
    }
    return all;
}

} // namespace velmor::cli
