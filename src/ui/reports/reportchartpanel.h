#pragma once

#include "model/reportperiod.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <utility>

class QChartView;
class QPushButton;
class QTimer;

namespace velmor {

// The report's "Grafik" tab: a doughnut of the messages by state and the
// sends over time stacked by state, with "Grafiği Kaydet…" to save both as
// a PNG image. "İletildi" is green and "Hatalı Numara" red; every other
// state takes a colour of its own by its place among the states of the whole
// report, so that narrowing the rows never changes a colour. Drawn when the
// tab comes on show, and while it is on show a moment after the rows last
// changed (at once before a save).
class ReportChartPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ReportChartPanel(QWidget *parent = nullptr);

    // counts: by state, most first; allStates: every state of the report;
    // description: the same figures in words, for screen readers.
    void setData(const QList<std::pair<QString, int>> &counts, const SendsOverTime &timeline,
                 const QStringList &allStates, const QString &description);
    // The file name the save proposes.
    void setFileName(const QString &name) { m_fileName = name; }

    QChartView *stateView() const { return m_stateView; }
    QChartView *timelineView() const { return m_timelineView; }

    // "Grafiği Kaydet…": asks where, then writes the two charts as one PNG image.
    void saveImage();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void draw();
    void drawStates();
    void drawTimeline();
    QColor colourOf(const QString &state) const;

    QWidget *m_charts = nullptr;
    QChartView *m_stateView = nullptr;    // grafikDurumlar
    QChartView *m_timelineView = nullptr; // grafikZaman
    QPushButton *m_save = nullptr;        // Cmd_Grafik_Kaydet
    QTimer *m_redraw = nullptr;

    QList<std::pair<QString, int>> m_counts;
    SendsOverTime m_timeline;
    QStringList m_allStates;
    QString m_fileName;
    bool m_pending = true;
};

} // namespace velmor
