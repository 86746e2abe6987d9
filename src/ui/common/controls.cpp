#include "ui/common/controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace velmor {

QGroupBox *CaptionedFrame(const QString &caption, const QString &name, QWidget *parent)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton *NamedButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QLabel *CaptionLabel(const QString &text, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

} // namespace velmor
