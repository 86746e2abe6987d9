#pragma once

#include "model/deliveryreport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

// What a send again to rows of the delivery report takes: their mobile
// numbers and their message.
struct ResendChoice
{
    // Normalised (05xxxxxxxxx), each once, in the order of the rows.
    QStringList numbers;
    // The message most of those rows carry (of equally frequent ones, the
    // first met).
    QString message;
    // The rows carried more than one message.
    bool severalMessages = false;
};

// A message that did not arrive and was not refused for its number: its
// state is neither "İletildi" nor "Hatalı Numara".
bool IsUndelivered(const DeliveryReportRow &row);

// The undelivered rows among these that have a mobile number.
ResendChoice ResendToUndelivered(const QList<DeliveryReportRow> &rows);
// Every one of these rows that has a mobile number, whatever its state.
ResendChoice ResendToRows(const QList<DeliveryReportRow> &rows);

} // namespace velmor
