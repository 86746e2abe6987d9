#pragma once

// Reading the service's row layout: a section holds rows marked with "<>",
// each row fields separated by "|". Shared by the readers of the account data
// and of the delivery report.

#include <QString>
#include <QStringView>

#include <array>
#include <type_traits>

namespace velmor {

// Cuts a section into its "<>"-rows and each row into its "|"-fields, in one
// pass over the characters. The text before the first "<>" is skipped. Each
// row gives rowFn at most MaxFields fields: further ones are ignored, missing
// ones stay empty. A rowFn that takes a second argument also gets the number
// of fields the row had, counted up to MaxFields.
template<int MaxFields, typename RowFn>
void forEachRow(QStringView section, RowFn rowFn)
{
    using Fields = std::array<QStringView, MaxFields>;
    const qsizetype n = section.size();
    const char16_t *p = section.utf16();
    qsizetype i = section.indexOf(u"<>");
    if (i < 0)
        return;
    i += 2;
    Fields fields{};
    int count = 0;
    qsizetype fieldStart = i;
    for (;; ++i) {
        const bool atEnd = i == n;
        const char16_t ch = atEnd ? u'\0' : p[i];
        if (ch == u'|') {
            if (count < MaxFields)
                fields[std::size_t(count++)] = QStringView(p + fieldStart, i - fieldStart);
            fieldStart = i + 1;
        } else if (atEnd || (ch == u'<' && i + 1 < n && p[i + 1] == u'>')) {
            if (count < MaxFields)
                fields[std::size_t(count++)] = QStringView(p + fieldStart, i - fieldStart);
            if constexpr (std::is_invocable_v<RowFn &, const Fields &, int>)
                rowFn(fields, count);
            else
                rowFn(fields);
            if (atEnd)
                return;
            fields = {};
            count = 0;
            ++i; // the ">"
            fieldStart = i + 1;
        }
    }
}

// The number of "<>"-rows of a section, so that the lists are allocated once.
inline qsizetype rowCount(QStringView section)
{
    qsizetype count = 0;
    const char16_t *p = section.utf16();
    const qsizetype n = section.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (p[i] == u'<' && p[i + 1] == u'>') {
            ++count;
            ++i;
        }
    }
    return count;
}

// The string of a field; an empty field costs no allocation.
inline QString fieldText(QStringView field)
{
    return field.isEmpty() ? QString() : field.toString();
}

} // namespace velmor
