#include "ui/update/frm_hakkinda.h"

#include "model/session.h"
#include "ui/common/appicon.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "model/version.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
// The client area: 7170 x 4185 twips.
constexpr int kWidthTwips = 7170;
constexpr int kHeightTwips = 4185;
constexpr int kNoticeFontSize = 8;
const QColor kTextColour(16, 48, 92);

bool isWholeNumber(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}
} // namespace

QString FormatCustomerNo(const QString &customerNo)
{
    const QString trimmed = customerNo.trimmed();
    if (!isWholeNumber(trimmed))
        return customerNo;
    return trimmed.rightJustified(5, u'0');
}

QPoint AboutBoxPosition(const QSize &mainWindowOuter, const QSize &boxOuter)
{
    const int left = (mainWindowOuter.width() - boxOuter.width()) / 2;
    const int top = (mainWindowOuter.height() - boxOuter.height()) / 2 - Twips(570);
    return {qMax(0, left), qMax(0, top)};
}

Frm_Hakkinda::Frm_Hakkinda(const Session &session, QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Frm_Hakkinda"_s);
    setWindowTitle(QString::fromUtf16(kApplicationTitle) + u" Hakkında"_s);
    setFixedSize(Twips(kWidthTwips), Twips(kHeightTwips));
    setFocusPolicy(Qt::StrongFocus);

    QFont customerFont = font();
    customerFont.setStyleHint(QFont::SansSerif);
    customerFont.setPointSizeF(8.25);
    customerFont.setBold(true);

    // The texts follow the snapshot as it is now; later changes do not reach them.
    const CustomerRecord &customer = session.snapshot().customer;
    addLabel(u"lblMusteriNoCaption", u"Müşteri No :"_s, 120, 120, customerFont);
    addLabel(u"lblMusteriNo", FormatCustomerNo(customer[CustomerRecord::Cari_No]), 1320, 120, customerFont);
    addLabel(u"lblUnvanCaption", u"Ünvanı :"_s, 120, 360, customerFont);
    addLabel(u"lblUnvan", customer[CustomerRecord::Cari_Unvan], 1320, 360, customerFont);

    QFont titleFont = font();
    titleFont.setPointSize(9);
    titleFont.setBold(true);
    addLabel(u"lblTitle", QString::fromUtf16(kApplicationTitle), 3480, 3360, titleFont);
    QFont versionFont = font();
    versionFont.setPointSize(kNoticeFontSize);
    addLabel(u"lblVersion", u"Version "_s + VersionText(), 3480, 3600, versionFont);

    layOutNotice();
}

QLabel *Frm_Hakkinda::addLabel(const char16_t *name, const QString &text, int leftTwips, int topTwips,
                               const QFont &font)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromUtf16(name));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kTextColour);
    label->setPalette(palette);
    label->move(Twips(leftTwips), Twips(topTwips));
    label->adjustSize();
    return label;
}

void Frm_Hakkinda::layOutNotice()
{
    // The sign and the text are placed from the word's label, so they follow
    // whatever width the word takes in the font at hand.
    QFont wordFont = font();
    wordFont.setPointSize(kNoticeFontSize);
    m_noticeWord = addLabel(u"lblCopyright", u"Copyright"_s, 3480, 3840, wordFont);

    QFont signFont = wordFont;
    signFont.setPointSize(wordFont.pointSize() + 4);
    const QRect word = m_noticeWord->geometry();
    m_noticeSign = addLabel(u"lblCopyrightSign", QString(QChar(169)), 0, 0, signFont);
    m_noticeSign->move(word.x() + word.width() + Twips(80), word.y() - Twips(40));

    m_noticeText = addLabel(u"lblCopyrightText", QStringLiteral("%1 Velmor").arg(kCopyrightYear), 0, 0, wordFont);
    m_noticeText->move(word.x() + word.width() + Twips(120) + m_noticeSign->width(), word.y());
}

void Frm_Hakkinda::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    PaintEmblemBackground(painter, area);

    // A soft band behind the customer lines, a rule above the title.
    painter.fillRect(QRectF(0, 0, area.width(), Twips(660)), QColor(255, 255, 255, 140));
    painter.setPen(QPen(QColor(52, 120, 210, 160), 1));
    painter.drawLine(QPointF(Twips(3480), Twips(3240)), QPointF(area.width() - Twips(240), Twips(3240)));

    const qreal side = Twips(2040);
    PaintEmblem(painter, QRectF(Twips(600), Twips(1200), side, side));

    // The product's name beside the emblem.
    QFont nameFont = font();
    nameFont.setPointSize(18);
    nameFont.setBold(true);
    painter.setFont(nameFont);
    painter.setPen(QColor(20, 62, 140));
    const QRectF nameArea(Twips(3000), Twips(1500), area.width() - Twips(3240), Twips(600));
    painter.drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter, u"Velmor Rehber"_s);
    QFont lineFont = font();
    lineFont.setPointSize(9);
    painter.setFont(lineFont);
    painter.setPen(kTextColour);
    painter.drawText(nameArea.translated(0, Twips(540)), Qt::AlignLeft | Qt::AlignTop,
                     u"Toplu SMS ve telefon rehberi"_s);
}

void Frm_Hakkinda::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        closeBox();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Frm_Hakkinda::closeBox()
{
    CloseChildWindow(this);
}

} // namespace velmor
