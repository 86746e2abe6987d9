#pragma once

#include "model/reportfilter.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLineEdit;

namespace velmor {

// The filters over the fetched report rows: one state ("Tüm Durumlar" or
// one of the states the report holds) and a search over name, number and
// message, as the phone book searches. Every change narrows at once.
class ReportFilterBar : public QWidget
{
    Q_OBJECT

public:
    explicit ReportFilterBar(QWidget *parent = nullptr);

    // Offers "Tüm Durumlar" and these states; the state chosen stays chosen
    // while the report holds it.
    void setStates(const QStringList &states);
    ReportRowFilter filter() const;

signals:
    void filterChanged();

private:
    QComboBox *m_state = nullptr; // cmbDurum
    QLineEdit *m_search = nullptr; // txtAra
};

} // namespace velmor
