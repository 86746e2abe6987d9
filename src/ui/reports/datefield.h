#pragma once

#include "model/reportperiod.h"

#include <QComboBox>
#include <QDate>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

namespace velmor {

// A date that may be left empty: typed as GG.AA.YYYY (at most ten
// characters) or picked from a calendar that opens from the arrow button,
// with Alt+Down or with F4. The typing field takes the focus for the whole.
class DateField : public QWidget
{
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);
    ~DateField() override;

    // YYYYMMDD, the empty text when the field is empty, or nothing when what
    // was typed is not a real date.
    std::optional<QString> value() const;
    // Shows the date YYYYMMDD as GG.AA.YYYY; anything else empties the field.
    void setValue(const QString &date);

    // Names the typing field and the button for assistive tools.
    void setAccessibleCaption(const QString &caption);

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    // The calendar pop-up while it is open, otherwise null.
    QCalendarWidget *openCalendar() const;

    void showCalendar();

signals:
    // The user typed into the field or picked a day from the calendar.
    void editedByUser();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(QDate date);

    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    QWidget *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
};

// "Bugün", "Dün", "Son 7 Gün", "Bu Ay", "Geçen Ay", "Tümü": fills the two
// date fields of a range ("Tümü" empties them). A date typed or picked
// afterwards leaves the choice showing none.
class QuickRangeChoice : public QComboBox
{
    Q_OBJECT

public:
    using Clock = std::function<QDate()>;

    QuickRangeChoice(DateField *first, DateField *last, QWidget *parent = nullptr);

    // Where "today" comes from: the system's date unless set.
    void setClock(Clock clock);
    void choose(QuickRange range);

private:
    DateField *m_first;
    DateField *m_last;
    Clock m_clock;
};

} // namespace velmor
