#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace velmor {

// Mobile numbers read from a text a user typed or pasted.
struct MobileNumberList
{
    QStringList numbers; // as 05xxxxxxxxx, in the order written (repeats kept)
    QStringList refused; // the pieces that are not a mobile number, as written
};

// Reads numbers written one per line or separated by ",", ";", tabs or
// blanks. Blanks may also stand inside a number ("+90 532 111 22 33"): a
// line piece that is not one number as a whole is read word by word, joining
// the words of one number until they hold as many digits as its beginning
// calls for (ten, eleven after "0", twelve after "90", fourteen after "00" or
// "+"). Each number goes through NormaliseMobileNumber.
MobileNumberList ReadMobileNumbers(QStringView text);

} // namespace velmor
