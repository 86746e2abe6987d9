// The reply decoder (block decoding with letter pairs joined on the way)
// against the plain reading: three digits of offset, then one byte per
// group, each byte read through Windows-1254, the Turkish letter pairs joined
// afterwards.

#include "fuzzcheck.h"

#include "service/coding.h"

namespace {

QString plainDecode(QByteArrayView digits)
{
    const qsizetype n = digits.size();
    if (n == 0)
        return {};
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : -1; };
    // A group is three digits (the last one may be shorter); the first is the offset.
    QList<int> groups;
    for (qsizetype at = 0; at < n; at += 3) {
        int value = 0;
        for (qsizetype i = at; i < qMin(at + 3, n); ++i) {
            if (digit(digits[i]) < 0)
                return {};
            value = value * 10 + digit(digits[i]);
        }
        groups.append(value);
    }
    if (groups.size() < 2)
        return {};
    QString text;
    for (qsizetype g = 1; g < groups.size(); ++g) {
        const int byte = groups[g] - groups[0];
        if (byte < 0 || byte > 255)
            return {};
        text += QChar(velmor::FromWindows1254(static_cast<unsigned char>(byte)));
    }
    return velmor::RepairUtf8Letters(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmor::fuzz::InputReader input(data, size);
    const std::uint8_t mode = input.byte();
    QByteArray digits;
    if (mode & 1) {
        // The bytes as they come: mostly not digits at all.
        digits = input.restBytes();
    } else {
        // Well-formed coded text of the input's bytes, as the service sends
        // it, so that the search spends its time on the decoding itself.
        const int offset = input.byte() % 100;
        const QByteArray payload = input.restBytes();
        digits = QByteArray::number(offset).rightJustified(3, '0');
        for (const char byte : payload)
            digits += QByteArray::number(offset + static_cast<unsigned char>(byte)).rightJustified(3, '0');
        if (mode & 2)
            digits.chop(mode >> 6); // a short last group
    }
    const QString decoded = velmor::DecodeDigits(digits);
    FUZZ_CHECK(decoded == plainDecode(digits));
    FUZZ_CHECK(decoded.size() <= digits.size() / 3);
    return 0;
}
