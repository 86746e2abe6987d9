#include "ui/reports/datefield.h"

#include "model/deliveryreport.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr int kMaxLength = 10; // GG.AA.YYYY

QDate dateOf(const QString &yyyymmdd)
{
    return yyyymmdd.size() == 8 ? QDate::fromString(yyyymmdd, u"yyyyMMdd"_s) : QDate();
}

} // namespace

DateField::DateField(QWidget *parent) : QWidget(parent)
{
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(u"tarihMetni"_s);
    m_edit->setMaxLength(kMaxLength);
    m_edit->setPlaceholderText(u"GG.AA.YYYY"_s);
    m_edit->setClearButtonEnabled(true);
    // Digits and the separators only; whether it is a real date is checked
    // when the value is read, so that a half-typed date never blocks typing.
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9./\\- ]*"_s), m_edit));
    m_edit->setToolTip(u"Tarihi GG.AA.YYYY biçiminde yazın ya da takvimden seçin (Alt+Aşağı). "
                       "Boş bırakılabilir."_s);
    m_edit->installEventFilter(this);
    // Wide enough for a whole date and the clear button.
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(u"00.00.00000"_s) + 32);

    m_button = new QToolButton(this);
    m_button->setObjectName(u"takvimDugmesi"_s);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setText(u"Takvim"_s);
    m_button->setToolTip(u"Takvimi aç"_s);
    m_button->setFocusPolicy(Qt::TabFocus);
    connect(m_button, &QToolButton::clicked, this, &DateField::showCalendar);
    connect(m_edit, &QLineEdit::textEdited, this, &DateField::editedByUser);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);

    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

DateField::~DateField() = default;

std::optional<QString> DateField::value() const
{
    return ParseEnteredDate(m_edit->text());
}

void DateField::setValue(const QString &date)
{
    const QDate d = dateOf(date);
    m_edit->setText(d.isValid() ? d.toString(u"dd.MM.yyyy"_s) : QString());
}

void DateField::setAccessibleCaption(const QString &caption)
{
    m_edit->setAccessibleName(caption);
    m_button->setAccessibleName(caption + u" takvimi"_s);
}

QCalendarWidget *DateField::openCalendar() const
{
    return m_popup && m_popup->isVisible() ? m_calendar : nullptr;
}

void DateField::showCalendar()
{
    if (!m_popup) {
        m_popup = new QWidget(this, Qt::Popup);
        m_popup->setObjectName(u"takvim"_s);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(u"takvimSecici"_s);
        m_calendar->setLocale(QLocale(QLocale::Turkish, QLocale::Turkey));
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setGridVisible(true);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_calendar->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
        auto *layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(m_calendar);
        // A click on a day or Enter picks it; Escape closes the pop-up unchanged.
        connect(m_calendar, &QCalendarWidget::clicked, this, &DateField::pick);
        connect(m_calendar, &QCalendarWidget::activated, this, &DateField::pick);
    }
    const std::optional<QString> current = value();
    const QDate shown = current ? dateOf(*current) : QDate();
    m_calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());

    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = m_popup->sizeHint();
        if (at.y() + size.height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - size.width())));
    }
    m_popup->move(at);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateField::pick(QDate date)
{
    setValue(date.toString(u"yyyyMMdd"_s));
    if (m_popup)
        m_popup->hide();
    m_edit->setFocus(Qt::OtherFocusReason);
    emit editedByUser();
}

bool DateField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool altDown = key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier;
        if (altDown || (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier)) {
            showCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

struct QuickRangeEntry
{
    QuickRange range;
    const char16_t *caption;
};

constexpr std::array<QuickRangeEntry, 6> kQuickRanges{{
    {QuickRange::Today, u"Bugün"},
    {QuickRange::Yesterday, u"Dün"},
    {QuickRange::Last7Days, u"Son 7 Gün"},
    {QuickRange::ThisMonth, u"Bu Ay"},
    {QuickRange::LastMonth, u"Geçen Ay"},
    {QuickRange::All, u"Tümü"},
}};

} // namespace

QuickRangeChoice::QuickRangeChoice(DateField *first, DateField *last, QWidget *parent)
    : QComboBox(parent), m_first(first), m_last(last), m_clock([] { return QDate::currentDate(); })
{
    for (const QuickRangeEntry &entry : kQuickRanges)
        addItem(QString::fromUtf16(entry.caption), int(entry.range));
    setPlaceholderText(u"Aralık seçin"_s);
    setCurrentIndex(-1);
    setToolTip(u"İki tarih alanını hazır bir aralıkla doldurur"_s);
    connect(this, &QComboBox::activated, this,
            [this](int index) { choose(QuickRange(itemData(index).toInt())); });
    for (DateField *field : {m_first, m_last})
        connect(field, &DateField::editedByUser, this, [this] { setCurrentIndex(-1); });
}

void QuickRangeChoice::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void QuickRangeChoice::choose(QuickRange range)
{
    const auto [from, to] = QuickRangeDates(range, m_clock());
    m_first->setValue(from.toString(u"yyyyMMdd"_s));
    m_last->setValue(to.toString(u"yyyyMMdd"_s));
    setCurrentIndex(findData(int(range)));
}

} // namespace velmor
