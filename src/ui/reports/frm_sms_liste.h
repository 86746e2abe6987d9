#pragma once

#include "ui/common/childwindow.h"

#include <QString>

#include <array>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QTreeView;

namespace velmor {

class DateField;
class DeliveryReportModel;
class Service;
class Session;

// The delivery report window: the messages sent within a date range, each
// to one number, with the recipient's name from the phone book, the times of
// sending and settling, and the state the service gives. Lists nothing until
// "Sorgula" is pressed; changes nothing on the service.
class Frm_Sms_Liste : public ChildWindow
{
    Q_OBJECT

public:
    Frm_Sms_Liste(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Sms_Liste() override;

    // "Sorgula": asks the service for the report of the chosen range and
    // lists it.
    void Query();
    // "Dışa Aktar": saves the listed rows, in the shown order, as a CSV file.
    void ExportList();

    DeliveryReportModel *model() const { return m_model; }
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The value of a date field, or nothing after telling the user it is not a date.
    std::optional<QString> readDate(int index);
    // The date fields and buttons, off while a query runs.
    void setControlsEnabled(bool enabled);
    void showCounts();
    // Name and message share the room the other four columns leave, 40 to 60.
    void fitColumns();

    const Service &m_service;
    Session &m_session;

    std::array<DateField *, 2> m_dates{}; // Tarih_Al(0), Tarih_Al(1)
    QPushButton *m_query = nullptr;       // Cmd_Liste
    QTreeView *m_list = nullptr;          // ListView1
    QLabel *m_counts = nullptr;
    QPushButton *m_export = nullptr;
    DeliveryReportModel *m_model = nullptr;

    // The range the rows on show were asked for, YYYYMMDD each.
    QString m_shownFrom;
    QString m_shownTo;
};

} // namespace velmor
