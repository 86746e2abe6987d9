#pragma once

#include "ui/common/childwindow.h"

#include "model/deliveryreport.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace velmor {

class DateField;
class DeliveryReportFilterModel;
class DeliveryReportModel;
class QuickRangeChoice;
class ReportChartPanel;
class ReportFilterBar;
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
    // Lists the rows of a report section (the reply to a query over from to
    // to, YYYYMMDD each) and offers their states to the filter.
    void showReport(const QString &report, const QString &from, const QString &to);
    // "Dışa Aktar": saves the listed rows, in the shown order, as a CSV file.
    void ExportList();
    // "Ulaşmayanlara Yeniden Gönder": the listed rows that did not arrive.
    void ResendUndelivered();
    // "Seçilenlere Yeniden Gönder": the selected rows, whatever their state.
    void ResendSelected();

    // Every fetched row, and the rows as the list shows them (narrowed by
    // the state and the search).
    DeliveryReportModel *model() const { return m_model; }
    DeliveryReportFilterModel *shownModel() const { return m_shown; }
    QSize sizeHint() const override;

signals:
    // A send again is asked for: these numbers (normalised mobile numbers)
    // with this message; severalMessages when the rows carried others too.
    // The send window takes them; nothing is sent from here.
    void resendRequested(const QStringList &numbers, const QString &message, bool severalMessages);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The value of a date field, or nothing after telling the user it is not a date.
    std::optional<QString> readDate(int index);
    // The date fields and buttons, off while a query runs.
    void setControlsEnabled(bool enabled);
    void showCounts();
    // Narrows the list, the counts and the chart to the filters' choice.
    void applyFilter();
    void updateResendButtons();
    void requestResend(const QList<DeliveryReportRow> &rows, bool undeliveredOnly);
    // Name and message share the room the other four columns leave, 40 to 60.
    void fitColumns();

    const Service &m_service;
    Session &m_session;

    std::array<DateField *, 2> m_dates{}; // Tarih_Al(0), Tarih_Al(1)
    QuickRangeChoice *m_quickRange = nullptr;
    QPushButton *m_query = nullptr;       // Cmd_Liste
    ReportFilterBar *m_filterBar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeView *m_list = nullptr;          // ListView1
    ReportChartPanel *m_chart = nullptr;
    QLabel *m_counts = nullptr;
    QPushButton *m_resendUndelivered = nullptr;
    QPushButton *m_resendSelected = nullptr;
    QPushButton *m_export = nullptr;
    DeliveryReportModel *m_model = nullptr;
    DeliveryReportFilterModel *m_shown = nullptr;
    // The states of every fetched row, most first: the chart's colours.
    QStringList m_states;

    // The range the rows on show were asked for, YYYYMMDD each.
    QString m_shownFrom;
    QString m_shownTo;
};

} // namespace velmor
