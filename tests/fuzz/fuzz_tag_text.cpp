// GetTagText against the plain reading: the text strictly between the first
// occurrence of the tag and the next one, compared without regard to letter
// case, and empty when there is no such pair or nothing lies between.

#include "fuzzcheck.h"

#include "service/service.h"

namespace {

qsizetype plainFind(QStringView text, QStringView tag, qsizetype from)
{
    for (qsizetype i = from; i + tag.size() <= text.size(); ++i) {
        if (text.sliced(i, tag.size()).compare(tag, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString plainTagText(const QString &text, const QString &tag)
{
    if (tag.isEmpty())
        return {};
    const qsizetype first = plainFind(text, tag, 0);
    if (first < 0)
        return {};
    const qsizetype start = first + tag.size();
    const qsizetype end = plainFind(text, tag, start);
    return end > start ? text.sliced(start, end - start) : QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmor::fuzz::InputReader input(data, size);
    const QString tag = input.text(input.byte() % 24);
    const QString text = input.rest();
    const QString cut = velmor::GetTagText(text, tag);
    FUZZ_CHECK(cut == plainTagText(text, tag));
    return 0;
}
