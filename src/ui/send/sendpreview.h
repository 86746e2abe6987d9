#pragma once

#include "model/recipient.h"

#include <QList>
#include <QString>

namespace velmor {

struct SendPlan;

// What "Önizleme" shows: the message as the first recipient sent to will
// receive it and, when another one's text is longer, as that one will, each
// with who it is and its parts and length; the message as it stands when no
// recipient is sent to. The recipients are those the plan was made from.
QString SendPreviewText(const SendPlan &plan, const QList<Recipient> &recipients, const QString &message);

} // namespace velmor
