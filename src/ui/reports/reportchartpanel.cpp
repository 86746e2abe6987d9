#include "ui/reports/reportchartpanel.h"

#include "model/reportfilter.h"
#include "ui/common/filedialog.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHBoxLayout>
#include <QPieSeries>
#include <QPieSlice>
#include <QPixmap>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QStandardPaths>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// Redrawing both charts takes a few tens of milliseconds for a large report:
// while the user types into the search, the list follows every keystroke and
// the charts follow once the typing pauses this long.
constexpr int kRedrawDelayMs = 150;

const QColor kDelivered(0x2e, 0x7d, 0x32);
const QColor kWrongNumber(0xc6, 0x28, 0x28);
// Neither green nor red, and apart from each other.
const std::array<QColor, 8> kOthers{QColor(0x15, 0x65, 0xc0), QColor(0xef, 0x6c, 0x00), QColor(0x6a, 0x1b, 0x9a),
                                    QColor(0x00, 0x83, 0x8f), QColor(0x6d, 0x4c, 0x41), QColor(0xad, 0x14, 0x57),
                                    QColor(0x54, 0x6e, 0x7a), QColor(0x9e, 0x9d, 0x24)};

QChartView *chartView(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 160);
    return view;
}

void clearChart(QChart *chart)
{
    chart->removeAllSeries();
    const QList<QAbstractAxis *> axes = chart->axes();
    for (QAbstractAxis *axis : axes) {
        chart->removeAxis(axis);
        delete axis;
    }
}

} // namespace

ReportChartPanel::ReportChartPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"grafikPaneli"_s);
    m_charts = new QWidget(this);
    m_stateView = chartView(u"grafikDurumlar"_s, u"Durumlara göre mesaj sayıları"_s, m_charts);
    m_timelineView = chartView(u"grafikZaman"_s, u"Zamana göre gönderilen mesajlar"_s, m_charts);
    auto *chartsLayout = new QHBoxLayout(m_charts);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->addWidget(m_stateView, 2);
    chartsLayout->addWidget(m_timelineView, 3);

    m_save = new QPushButton(u"Grafiği Kaydet…"_s, this);
    m_save->setObjectName(u"Cmd_Grafik_Kaydet"_s);
    m_save->setToolTip(u"İki grafiği PNG resmi olarak kaydeder"_s);
    m_save->setEnabled(false);
    connect(m_save, &QPushButton::clicked, this, &ReportChartPanel::saveImage);
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(kRedrawDelayMs);
    connect(m_redraw, &QTimer::timeout, this, [this] {
        if (m_pending && isVisible())
            draw();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_charts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    layout->addLayout(buttons);
}

void ReportChartPanel::setData(const QList<std::pair<QString, int>> &counts, const SendsOverTime &timeline,
                               const QStringList &allStates, const QString &description)
{
    m_counts = counts;
    m_timeline = timeline;
    m_allStates = allStates;
    m_stateView->setAccessibleDescription(description);
    m_timelineView->setAccessibleDescription(description);
    m_save->setEnabled(!m_counts.isEmpty());
    m_pending = true;
    if (isVisible())
        m_redraw->start();
}

void ReportChartPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_pending)
        draw();
}

void ReportChartPanel::draw()
{
    m_redraw->stop();
    m_pending = false;
    drawStates();
    drawTimeline();
}

QColor ReportChartPanel::colourOf(const QString &state) const
{
    if (state == u"İletildi")
        return kDelivered;
    if (state == u"Hatalı Numara")
        return kWrongNumber;
    qsizetype other = 0;
    for (const QString &known : m_allStates) {
        if (known == state)
            break;
        if (known != u"İletildi" && known != u"Hatalı Numara")
            ++other;
    }
    return kOthers[std::size_t(other) % kOthers.size()];
}

void ReportChartPanel::drawStates()
{
    QChart *chart = m_stateView->chart();
    clearChart(chart);
    chart->setTitle(u"Durumlara Göre"_s);
    auto *series = new QPieSeries;
    series->setHoleSize(0.45);
    for (const auto &[state, count] : std::as_const(m_counts)) {
        QPieSlice *slice = series->append(u"%1: %2"_s.arg(StateCaption(state)).arg(count), count);
        slice->setColor(colourOf(state));
        slice->setBorderColor(Qt::white);
    }
    chart->addSeries(series);
}

void ReportChartPanel::drawTimeline()
{
    QChart *chart = m_timelineView->chart();
    clearChart(chart);
    switch (m_timeline.step) {
    case SendsOverTime::Step::Day:
        chart->setTitle(u"Günlere Göre Gönderilen"_s);
        break;
    case SendsOverTime::Step::Month:
        chart->setTitle(u"Aylara Göre Gönderilen"_s);
        break;
    case SendsOverTime::Step::Year:
        chart->setTitle(u"Yıllara Göre Gönderilen"_s);
        break;
    }
    auto *series = new QStackedBarSeries;
    QList<int> totals(m_timeline.periods.size(), 0);
    for (qsizetype s = 0; s < m_timeline.states.size(); ++s) {
        const QString &state = m_timeline.states.at(s);
        auto *set = new QBarSet(StateCaption(state));
        set->setColor(colourOf(state));
        set->setBorderColor(colourOf(state));
        const QList<int> &counts = m_timeline.counts.at(s);
        for (qsizetype p = 0; p < counts.size(); ++p) {
            set->append(counts.at(p));
            totals[p] += counts.at(p);
        }
        series->append(set);
    }
    chart->addSeries(series);

    auto *periods = new QBarCategoryAxis;
    periods->append(m_timeline.periods);
    if (m_timeline.periods.size() > 12)
        periods->setLabelsAngle(-90);
    chart->addAxis(periods, Qt::AlignBottom);
    series->attachAxis(periods);

    // Whole numbers on the scale: a small top gets a tick per message.
    auto *count = new QValueAxis;
    count->setLabelFormat(u"%d"_s);
    const int top = totals.isEmpty() ? 0 : *std::max_element(totals.cbegin(), totals.cend());
    if (top <= 5) {
        count->setRange(0, std::max(top, 1));
        count->setTickCount(std::max(top, 1) + 1);
    } else {
        count->setRange(0, top);
        count->applyNiceNumbers();
    }
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(count);
}

void ReportChartPanel::saveImage()
{
    if (m_counts.isEmpty())
        return;
    if (m_pending)
        draw();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    SaveFileContent(
        this, u"Grafiği Kaydet"_s, QDir(folder).filePath(m_fileName), u"PNG resmi (*.png)"_s, u"png"_s,
        [this] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            m_charts->grab().save(&buffer, "PNG");
            return bytes;
        },
        u"Grafik kaydedilemedi"_s);
}

} // namespace velmor
