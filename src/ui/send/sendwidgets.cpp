#include "ui/send/sendwidgets.h"

#include <QLabel>

namespace velmor {

QLabel *FigureLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(48);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace velmor
