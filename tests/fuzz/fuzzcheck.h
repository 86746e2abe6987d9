#pragma once

// Shared by the fuzz targets: a check that stops the run with a message, so
// that libFuzzer keeps the input and the replay in CTest fails.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "text/csv.h"

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace velmor::fuzz {

// The input as text, read as UTF-8 (broken sequences become U+FFFD).
inline QString utf8(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Reads the input front to back: single control bytes, then the rest.
class InputReader
{
public:
    InputReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    // The next byte, 0 when none is left.
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // Up to count bytes as text (UTF-8).
    QString text(std::size_t count)
    {
        const std::size_t take = count < m_size - m_at ? count : m_size - m_at;
        const QString out = utf8(m_data + m_at, take);
        m_at += take;
        return out;
    }
    QString rest() { return text(m_size - m_at); }
    QByteArray restBytes()
    {
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_at), qsizetype(m_size - m_at));
        m_at = m_size;
        return out;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// A table read back from a file for spreadsheet programs, with the "'"
// written before formula-like cells taken away again (RestoredCell).
inline QList<QStringList> restored(QList<QStringList> table)
{
    for (QStringList &row : table) {
        for (QString &cell : row)
            cell = RestoredCell(cell);
    }
    return table;
}

} // namespace velmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
