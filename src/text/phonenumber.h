#pragma once

#include <QString>
#include <QStringView>

namespace velmor {

// Turkish telephone numbers in the form the phone book keeps: eleven digits
// beginning with "0". Written forms such as "+90 532 111 22 33",
// "0090 532 111 22 33", "90532 111 2233", "532 111 2233" and
// "(0532) 111-22-33" all give "05321112233". Blanks, "-", ".", "/" and
// brackets are dropped; the country code (+90, 0090, 90) and the trunk "0"
// are recognised. Any other character, or a wrong count of digits, gives
// the empty text.

// A mobile number as 05xxxxxxxxx, or the empty text.
QString NormaliseMobileNumber(QStringView written);
// A fixed-line (or fax) number as 0xxxxxxxxxx, or the empty text.
QString NormaliseFixedNumber(QStringView written);

// Whether the text is already a mobile number in the kept form: eleven
// digits beginning with "05".
bool IsMobileNumber(QStringView number);
// Eleven digits beginning with "0".
bool IsFixedNumber(QStringView number);

} // namespace velmor
