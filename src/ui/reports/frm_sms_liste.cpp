#include "ui/reports/frm_sms_liste.h"

#include "model/deliveryreportmodel.h"
#include "model/reportfilter.h"
#include "model/reportperiod.h"
#include "model/reportresend.h"
#include "model/session.h"
#include "service/service.h"
#include "ui/common/filedialog.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/reports/datefield.h"
#include "ui/reports/reportchartpanel.h"
#include "ui/reports/reportfilterbar.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// Design sizes in twips.
constexpr int kWindowWidth = 12240;
constexpr int kWindowHeight = 6075;
constexpr int kStripHeight = 495;
constexpr int kInset = 120;
// The inside of the list at its design width: 11775 twips less 350 for its
// frame and scroll bar. Below it, name and message keep the room they have there.
constexpr int kDesignInnerWidth = 11775 - 350;
constexpr double kNameShare = 0.4;
// Never less than this for name and message together, in pixels.
constexpr int kLeastSharedWidth = 160;

// The width of a column of fixed-form texts: its design width, or more when
// the font needs more for the caption or the longest text the column shows.
int columnWidth(const QTreeView *list, int column)
{
    QString sample;
    switch (column) {
    case DeliveryReportModel::Phone:
        sample = u"00000000000"_s;
        break;
    case DeliveryReportModel::Sent:
    case DeliveryReportModel::Settled:
        sample = u"00.00.0000 / 00:00:00"_s;
        break;
    case DeliveryReportModel::State:
        sample = u"Hatalı Numara"_s;
        break;
    default:
        break;
    }
    // Room for the cell's margins, and in the header for the sort arrow.
    const int text = list->fontMetrics().horizontalAdvance(sample) + 16;
    const int caption =
        list->header()->fontMetrics().horizontalAdvance(DeliveryReportModel::caption(column)) + 28;
    return qMax(Twips(DeliveryReportModel::designWidth(column)), qMax(text, caption));
}

// The two date fields by index: the first and the last date of the range.
const std::array<QString, 2> kDateNames{u"İlk Tarih"_s, u"Son Tarih"_s};

} // namespace

Frm_Sms_Liste::Frm_Sms_Liste(const Service &service, Session &session, QWidget *parent)
    : ChildWindow(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Sms_Liste"_s);
    setWindowTitle(u"Gönderilen SMS Listesi"_s);
    buildControls();
    resize(sizeHint());
    PrepareListView(false, m_list, kStripeColour);
    showCounts();
}

Frm_Sms_Liste::~Frm_Sms_Liste() = default;

QSize Frm_Sms_Liste::sizeHint() const
{
    return {Twips(kWindowWidth), Twips(kWindowHeight)};
}

void Frm_Sms_Liste::buildControls()
{
    // The strip: the two dates and "Sorgula".
    auto *strip = new QFrame(this);
    strip->setObjectName(u"TabControl1"_s);
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setMinimumHeight(Twips(kStripHeight));
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(Twips(kInset), Twips(60), Twips(kInset), Twips(60));
    for (int i = 0; i < 2; ++i) {
        const QString &name = kDateNames[std::size_t(i)];
        auto *label = new QLabel(name + u" :"_s, strip);
        label->setObjectName(u"Label1_%1"_s.arg(i));
        auto *field = new DateField(strip);
        field->setObjectName(u"Tarih_Al_%1"_s.arg(i));
        field->setAccessibleCaption(name);
        label->setBuddy(field);
        m_dates[std::size_t(i)] = field;
        if (i > 0)
            stripLayout->addSpacing(Twips(240));
        stripLayout->addWidget(label);
        stripLayout->addWidget(field);
    }
    stripLayout->addSpacing(Twips(240));
    m_quickRange = new QuickRangeChoice(m_dates[0], m_dates[1], strip);
    m_quickRange->setObjectName(u"cmbHizliTarih"_s);
    auto *rangeLabel = new QLabel(u"Aralık :"_s, strip);
    rangeLabel->setBuddy(m_quickRange);
    stripLayout->addWidget(rangeLabel);
    stripLayout->addWidget(m_quickRange);
    stripLayout->addStretch(1);
    m_query = new QPushButton(u"Sorgula"_s, strip);
    m_query->setObjectName(u"Cmd_Liste"_s);
    stripLayout->addWidget(m_query);

    // The frame: the filters, the list and the chart, the counts, the
    // resend and the export.
    auto *frame = new QFrame(this);
    frame->setObjectName(u"TabControl2"_s);
    frame->setFrameShape(QFrame::StyledPanel);
    m_filterBar = new ReportFilterBar(frame);
    m_filterBar->setObjectName(u"suzgecler"_s);
    m_tabs = new QTabWidget(frame);
    m_tabs->setObjectName(u"tabRapor"_s);
    m_model = new DeliveryReportModel(this);
    m_model->setObjectName(u"reportModel"_s);
    m_shown = new DeliveryReportFilterModel(m_model, this);
    m_shown->setObjectName(u"shownReportModel"_s);
    m_list = new QTreeView(m_tabs);
    m_list->setObjectName(u"ListView1"_s);
    m_list->setAccessibleName(windowTitle());
    m_list->setModel(m_shown);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(false);
    header->setSortIndicatorClearable(true);
    // No sort until the user asks: the rows come in the order of the report.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    for (int column = 0; column < DeliveryReportModel::ColumnCount; ++column)
        m_list->setColumnWidth(column, columnWidth(m_list, column));
    m_list->viewport()->installEventFilter(this);
    m_chart = new ReportChartPanel(m_tabs);
    m_chart->setAccessibleName(u"Grafik"_s);
    m_tabs->addTab(m_list, u"Liste"_s);
    m_tabs->addTab(m_chart, u"Grafik"_s);

    m_counts = new QLabel(frame);
    m_counts->setObjectName(u"lblDurumSayilari"_s);
    m_counts->setTextFormat(Qt::PlainText);
    m_counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_resendUndelivered = new QPushButton(u"Ulaşmayanlara Yeniden Gönder"_s, frame);
    m_resendUndelivered->setObjectName(u"Cmd_Ulasmayanlara_Gonder"_s);
    m_resendUndelivered->setToolTip(u"Listede iletilmemiş mesajların numaralarını gönderim penceresine alır"_s);
    m_resendSelected = new QPushButton(u"Seçilenlere Yeniden Gönder"_s, frame);
    m_resendSelected->setObjectName(u"Cmd_Secilenlere_Gonder"_s);
    m_resendSelected->setToolTip(u"Seçilen satırların numaralarını gönderim penceresine alır"_s);
    m_export = new QPushButton(u"Dışa Aktar"_s, frame);
    m_export->setObjectName(u"Cmd_Disa_Aktar"_s);
    m_export->setToolTip(u"Listeyi gösterildiği sırayla CSV dosyası olarak kaydeder"_s);
    m_export->setEnabled(false);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(Twips(kInset), Twips(kInset), Twips(kInset), Twips(kInset));
    frameLayout->addWidget(m_filterBar);
    frameLayout->addWidget(m_tabs, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_counts, 1);
    bottom->addWidget(m_resendUndelivered);
    bottom->addWidget(m_resendSelected);
    bottom->addWidget(m_export);
    frameLayout->addLayout(bottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(frame, 1);

    // The order of creation is the order of the keyboard: the dates and their
    // calendar buttons, the quick range, "Sorgula", the filters, the tabs
    // with the list and the chart, the two resends, "Dışa Aktar".

    // Enter in a date field queries as the button does; the window's focus
    // goes to the first date.
    for (DateField *field : m_dates)
        connect(field->lineEdit(), &QLineEdit::returnPressed, this, &Frm_Sms_Liste::Query);
    setFocusProxy(m_dates[0]);
    connect(m_query, &QPushButton::clicked, this, &Frm_Sms_Liste::Query);
    connect(m_export, &QPushButton::clicked, this, &Frm_Sms_Liste::ExportList);
    connect(m_filterBar, &ReportFilterBar::filterChanged, this, &Frm_Sms_Liste::applyFilter);
    connect(m_resendUndelivered, &QPushButton::clicked, this, &Frm_Sms_Liste::ResendUndelivered);
    connect(m_resendSelected, &QPushButton::clicked, this, &Frm_Sms_Liste::ResendSelected);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Frm_Sms_Liste::updateResendButtons);
}

std::optional<QString> Frm_Sms_Liste::readDate(int index)
{
    DateField *field = m_dates[std::size_t(index)];
    std::optional<QString> value = field->value();
    if (!value) {
        MessageBox::show(this, u"%1 geçerli bir tarih değil. Tarihi GG.AA.YYYY biçiminde yazın "
                               "(örneğin 15.03.2010) ya da boş bırakın."_s.arg(kDateNames[std::size_t(index)]));
        field->setFocus(Qt::OtherFocusReason);
        field->lineEdit()->selectAll();
    }
    return value;
}

void Frm_Sms_Liste::Query()
{
    if (isRequestRunning())
        return;
    // Without a login there is no customer to ask for.
    if (!m_session.snapshot().hasCustomer || m_session.customerNo().isEmpty()) {
        MessageBox::show(this, u"Müşteri bilgileri yüklenmediği için rapor alınamıyor. "
                               "Lütfen önce giriş yapın."_s);
        return;
    }
    const std::optional<QString> first = readDate(0);
    if (!first)
        return;
    const std::optional<QString> last = readDate(1);
    if (!last)
        return;

    m_model->clear();
    m_shownFrom.clear();
    m_shownTo.clear();
    m_states.clear();
    applyFilter();

    const std::pair<QString, QString> range = ReportDateRange(*first, *last);
    const QString &from = range.first;
    const QString &to = range.second;
    const QString customerNo = m_session.customerNo();
    const QPointer<QWidget> focused = focusWidget();
    setControlsEnabled(false);
    const std::optional<QString> report =
        runRequest([&] { return FetchDeliveryReportSection(m_service, customerNo, from, to); });
    setControlsEnabled(true);
    if (focused)
        focused->setFocus(Qt::OtherFocusReason);

    if (!report) {
        // No reply, or one without the report: not the same as nothing sent.
        MessageBox::show(this, u"İletim raporu alınamadı. Sunucuya ulaşılamadı ya da yanıt eksik geldi; "
                               "lütfen daha sonra yeniden deneyin."_s);
        showCounts();
        return;
    }
    showReport(*report, from, to);
}

void Frm_Sms_Liste::showReport(const QString &report, const QString &from, const QString &to)
{
    // Names as the phone book stands now, looked up once per number.
    DeliveryReportReading reading = ReadDeliveryReport(report, m_session.snapshot().contacts);
    if (reading.refusal != DeliveryReportReading::Refusal::None) {
        // Refused whole: nothing of it is shown, nor anything from before.
        m_model->clear();
        m_shownFrom.clear();
        m_shownTo.clear();
        m_states.clear();
        m_filterBar->setStates(m_states);
        applyFilter();
        MessageBox::show(this, ReportRefusalMessage(reading.refusal));
        return;
    }
    m_model->setRows(std::move(reading.rows));
    m_shownFrom = from;
    m_shownTo = to;
    m_states = ReportStates(m_model->rows());
    m_filterBar->setStates(m_states);
    m_chart->setFileName(u"iletim-grafigi-%1-%2.png"_s.arg(from, to));
    applyFilter();
}

void Frm_Sms_Liste::applyFilter()
{
    m_shown->setFilter(m_filterBar->filter());
    showCounts();
}

void Frm_Sms_Liste::showCounts()
{
    const bool queried = !m_shownFrom.isEmpty();
    m_export->setEnabled(m_shown->rowCount() > 0 && !isRequestRunning());
    updateResendButtons();
    QList<std::pair<QString, int>> counts;
    QList<DeliveryReportRow> listed;
    if (!queried) {
        m_counts->clear();
    } else if (m_model->rowCount() == 0) {
        m_counts->setText(u"Bu tarih aralığında gönderilmiş mesaj yok."_s);
    } else if (m_shown->rowCount() == 0) {
        m_counts->setText(u"Seçilen duruma ya da aramaya uyan mesaj yok (toplam %1)."_s.arg(m_model->rowCount()));
    } else {
        listed = m_shown->listedRows();
        counts = CountByState(listed);
        const QString line = StateCountLine(counts);
        // Narrowed: how many of how many, then the counts of those.
        m_counts->setText(m_shown->isFiltered()
                              ? u"%1 / %2 mesaj · %3"_s.arg(listed.size()).arg(m_model->rowCount()).arg(line)
                              : line);
    }
    m_chart->setData(counts, CountSendsOverTime(listed, m_shownFrom, m_shownTo), m_states, m_counts->text());
}

void Frm_Sms_Liste::setControlsEnabled(bool enabled)
{
    const bool busy = !enabled;
    // The wait keeps the window painting; nothing in it may start a second
    // request or read the rows meanwhile.
    for (DateField *field : m_dates)
        field->setEnabled(!busy);
    m_quickRange->setEnabled(!busy);
    m_query->setEnabled(!busy);
    m_export->setEnabled(!busy && m_shown->rowCount() > 0);
    updateResendButtons();
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Frm_Sms_Liste::ExportList()
{
    if (isRequestRunning() || m_shown->rowCount() == 0)
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(u"iletim-raporu-%1-%2.csv"_s.arg(m_shownFrom, m_shownTo));
    SaveTableFile(
        this, u"Listeyi Dışa Aktar"_s, suggested, [this] { return m_shown->shownTable(); },
        [this] {
            return WorkbookSheet{u"İletim Raporu"_s, m_shown->shownTable(DeliveryReportModel::Stamps::Iso),
                                 {DeliveryReportModel::Sent, DeliveryReportModel::Settled}};
        },
        u"Liste kaydedilemedi"_s);
}

void Frm_Sms_Liste::updateResendButtons()
{
    const bool idle = !isRequestRunning();
    m_resendUndelivered->setEnabled(idle && m_shown->rowCount() > 0);
    m_resendSelected->setEnabled(idle && m_list->selectionModel()->hasSelection());
}

void Frm_Sms_Liste::ResendUndelivered()
{
    if (isRequestRunning() || m_shown->rowCount() == 0)
        return;
    requestResend(m_shown->listedRows(), true);
}

void Frm_Sms_Liste::ResendSelected()
{
    if (isRequestRunning())
        return;
    // In the order of the list.
    QModelIndexList selected = m_list->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<DeliveryReportRow> rows;
    rows.reserve(selected.size());
    for (const QModelIndex &index : std::as_const(selected))
        rows.append(m_model->rows().at(m_model->positionAt(m_shown->mapToSource(index).row())));
    if (rows.isEmpty()) {
        MessageBox::show(this, u"Yeniden göndermek için listeden bir ya da birkaç satır seçin."_s);
        return;
    }
    requestResend(rows, false);
}

void Frm_Sms_Liste::requestResend(const QList<DeliveryReportRow> &rows, bool undeliveredOnly)
{
    const ResendChoice choice = undeliveredOnly ? ResendToUndelivered(rows) : ResendToRows(rows);
    if (choice.numbers.isEmpty()) {
        MessageBox::show(this, undeliveredOnly
                                   ? u"Listede yeniden gönderilecek mesaj yok: gösterilen mesajların hepsi "
                                     "iletilmiş, hatalı numaraya gitmiş ya da cep telefonu numarası taşımıyor."_s
                                   : u"Seçilen satırların hiçbirinde cep telefonu numarası yok; yeniden "
                                     "gönderilecek numara bulunamadı."_s);
        return;
    }
    emit resendRequested(choice.numbers, choice.message, choice.severalMessages);
}

void Frm_Sms_Liste::fitColumns()
{
    const int viewportWidth = m_list->viewport()->width();
    int others = 0;
    for (const int column : {DeliveryReportModel::Phone, DeliveryReportModel::Sent, DeliveryReportModel::Settled,
                             DeliveryReportModel::State})
        others += m_list->columnWidth(column);
    // Below the design width the two keep the room they have there rather than shrinking.
    const int shared = std::max({viewportWidth - others, Twips(kDesignInnerWidth) - others, kLeastSharedWidth});
    const int name = int(shared * kNameShare);
    m_list->setColumnWidth(DeliveryReportModel::Name, name);
    m_list->setColumnWidth(DeliveryReportModel::Message, shared - name);
}

bool Frm_Sms_Liste::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return ChildWindow::eventFilter(watched, event);
}

} // namespace velmor
