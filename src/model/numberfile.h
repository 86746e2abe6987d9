#pragma once

#include "text/numberlist.h"

#include <QByteArrayView>

namespace velmor {

// The mobile numbers of a file a user names for a send, in any encoding
// spreadsheets write (DetectTextEncoding): numbers one or more a line,
// written as they may be typed (ReadMobileNumbers), or a table (CSV or
// tab-separated) with a column of numbers beside others, such as names.
// That column is the one its header calls the mobile number ("GSM", "Cep
// Telefonu" ...: FieldForColumnName), else the one the contents show
// (ProposeImportMapping); only that column is read, and a row without a
// number in it is listed among the refused as "N. satır: numara yok".
MobileNumberList ReadNumberFile(QByteArrayView bytes);

} // namespace velmor
