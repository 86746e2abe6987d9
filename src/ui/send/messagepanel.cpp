#include "ui/send/messagepanel.h"

#include "model/personalisedmessage.h"
#include "model/sendrules.h"
#include "ui/common/controls.h"
#include "ui/send/messageedit.h"
#include "ui/send/messagetemplatebar.h"
#include "ui/send/sendwidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
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
    QWidget *fieldRow = buildFieldRow(frame);
    m_templates = new MessageTemplateBar(m_box, frame);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_box, 1);
    auto *lengthRow = new QHBoxLayout;
    lengthRow->addWidget(new QLabel(QStringLiteral("SMS Metin Boyu :"), frame));
    lengthRow->addWidget(m_lengthFigure);
    lengthRow->addWidget(m_partInformation);
    lengthRow->addStretch(1);
    lengthRow->addWidget(fieldRow);
    frameLayout->addLayout(lengthRow);
    frameLayout->addWidget(m_templates);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);

    connect(m_box, &MessageEdit::messageChanged, this, &MessagePanel::boxChanged);
}

QWidget *MessagePanel::buildFieldRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    m_addField = NamedButton(QStringLiteral("Alan Ekle"), QStringLiteral("cmdAlanEkle"), row);
    m_addField->setToolTip(QStringLiteral("Her kişiye kendi bilgisiyle gidecek bir alanı imlecin yerine ekler"));
    auto *menu = new QMenu(m_addField);
    menu->setObjectName(QStringLiteral("mnuAlanlar"));
    for (int field = 0; field < kMessageFieldCount; ++field) {
        const MessageField which = MessageField(field);
        QAction *action = menu->addAction(MessageFieldCaption(which));
        action->setToolTip(MessageFieldTag(which));
        action->setStatusTip(MessageFieldTag(which));
        // "mnuAlan_Adi" for {Adi}.
        action->setObjectName(QStringLiteral("mnuAlan_") + MessageFieldTag(which).mid(1).chopped(1));
        connect(action, &QAction::triggered, this, [this, field] { insertField(field); });
    }
    m_addField->setMenu(menu);
    m_preview = NamedButton(QStringLiteral("Önizleme"), QStringLiteral("cmdOnizleme"), row);
    m_preview->setToolTip(QStringLiteral("Mesajı ilk alıcının ve en uzun metni alacak kişinin göreceği "
                                         "biçimde gösterir"));
    connect(m_preview, &QPushButton::clicked, this, &MessagePanel::previewRequested);

    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_addField);
    layout->addWidget(m_preview);
    return row;
}

void MessagePanel::insertField(int field)
{
    m_box->insertPlainText(MessageFieldTag(MessageField(field)));
    m_box->setFocus();
}

void MessagePanel::showRecipientParts(const QString &partRange)
{
    m_partInformation->setText(partRange.isEmpty() ? PartInformation(m_length) : partRange);
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
    m_preview->setEnabled(m_length > 0);
    emit messageChanged();
    const QString figure = QString::number(m_length);
    if (m_lengthFigure->text() != figure) {
        m_lengthFigure->setText(figure);
        emit lengthChanged();
    }
}

} // namespace velmor
