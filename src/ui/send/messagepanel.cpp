#include "ui/send/messagepanel.h"

#include "model/sendrules.h"
#include "ui/common/controls.h"
#include "ui/send/messageedit.h"
#include "ui/send/messagetemplatebar.h"
#include "ui/send/sendwidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velmor {

MessagePanel::MessagePanel(QWidget *parent) : QWidget(parent)
{
    auto *frame = CaptionedFrame(QStringLiteral("SMS Metni"), QStringLiteral("fraMesaj"), this);
    m_box = new MessageEdit(frame);
    m_box->setObjectName(QStringLiteral("Text2"));
    m_box->setTabChangesFocus(true);
    m_box->setAccessibleName(frame->title());
    m_lengthFigure = FigureLabel(QStringLiteral("Label2_1"), frame);
    m_partInformation = new QLabel(frame);
    m_partInformation->setObjectName(QStringLiteral("lblMesajBilgisi"));
    m_partInformation->setTextFormat(Qt::PlainText);
    m_templates = new MessageTemplateBar(m_box, frame);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_box, 1);
    auto *lengthRow = new QHBoxLayout;
    lengthRow->addWidget(new QLabel(QStringLiteral("SMS Metin Boyu :"), frame));
    lengthRow->addWidget(m_lengthFigure);
    lengthRow->addWidget(m_partInformation);
    lengthRow->addStretch(1);
    frameLayout->addLayout(lengthRow);
    frameLayout->addWidget(m_templates);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);

    connect(m_box, &MessageEdit::messageChanged, this, &MessagePanel::boxChanged);
}

void MessagePanel::clear()
{
    m_box->clear();
    boxChanged();
}

void MessagePanel::setMessage(const QString &text)
{
    m_box->setPlainText(text);
    m_box->moveCursor(QTextCursor::End);
    m_box->setFocus(Qt::OtherFocusReason);
}

void MessagePanel::loadTemplates()
{
    m_templates->load();
}

void MessagePanel::boxChanged()
{
    m_message = m_box->message();
    m_length = MessageLength(m_message);
    m_partInformation->setText(PartInformation(m_length));
    emit messageChanged();
    const QString figure = QString::number(m_length);
    if (m_lengthFigure->text() != figure) {
        m_lengthFigure->setText(figure);
        emit lengthChanged();
    }
}

} // namespace velmor
