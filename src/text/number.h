#pragma once

#include <QString>
#include <QStringView>

namespace velmor {

// The leading number of a figure: optional sign, digits, optional "." and
// decimal digits. A text that does not begin with a number counts 0, so "--"
// counts 0 and "12abc" counts 12. Every numeric reading of a service value
// (balances, group and record numbers) goes through here.
double LeadingNumber(QStringView text);

// A number as plain decimal text: 1500 as "1500", 2.5 as "2.5".
QString PlainNumberText(double value);

} // namespace velmor
