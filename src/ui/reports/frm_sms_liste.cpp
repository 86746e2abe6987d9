#include "ui/reports/frm_sms_liste.h"

#include "model/deliveryreportmodel.h"
#include "model/session.h"
#include "service/service.h"
#include "ui/common/filedialog.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/reports/datefield.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
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
    stripLayout->addStretch(1);
    m_query = new QPushButton(u"Sorgula"_s, strip);
    m_query->setObjectName(u"Cmd_Liste"_s);
    stripLayout->addWidget(m_query);

    // The frame: the list, the counts and the export.
    auto *frame = new QFrame(this);
    frame->setObjectName(u"TabControl2"_s);
    frame->setFrameShape(QFrame::StyledPanel);
    m_model = new DeliveryReportModel(this);
    m_model->setObjectName(u"reportModel"_s);
    m_list = new QTreeView(frame);
    m_list->setObjectName(u"ListView1"_s);
    m_list->setAccessibleName(windowTitle());
    m_list->setModel(m_model);
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

    m_counts = new QLabel(frame);
    m_counts->setObjectName(u"lblDurumSayilari"_s);
    m_counts->setTextFormat(Qt::PlainText);
    m_counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_export = new QPushButton(u"Dışa Aktar"_s, frame);
    m_export->setObjectName(u"Cmd_Disa_Aktar"_s);
    m_export->setToolTip(u"Listeyi gösterildiği sırayla CSV dosyası olarak kaydeder"_s);
    m_export->setEnabled(false);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(Twips(kInset), Twips(kInset), Twips(kInset), Twips(kInset));
    frameLayout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_counts, 1);
    bottom->addWidget(m_export);
    frameLayout->addLayout(bottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(frame, 1);

    // The order of creation is the order of the keyboard: the dates and their
    // calendar buttons, "Sorgula", the list, "Dışa Aktar".

    // Enter in a date field queries as the button does; the window's focus
    // goes to the first date.
    for (DateField *field : m_dates)
        connect(field->lineEdit(), &QLineEdit::returnPressed, this, &Frm_Sms_Liste::Query);
    setFocusProxy(m_dates[0]);
    connect(m_query, &QPushButton::clicked, this, &Frm_Sms_Liste::Query);
    connect(m_export, &QPushButton::clicked, this, &Frm_Sms_Liste::ExportList);
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
    showCounts();

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
    // Names as the phone book stands now, looked up once per number.
    DeliveryReportReading reading = ReadDeliveryReport(*report, m_session.snapshot().contacts);
    if (reading.refusal != DeliveryReportReading::Refusal::None) {
        MessageBox::show(this, ReportRefusalMessage(reading.refusal));
        showCounts();
        return;
    }
    m_model->setRows(std::move(reading.rows));
    m_shownFrom = from;
    m_shownTo = to;
    showCounts();
}

void Frm_Sms_Liste::showCounts()
{
    const bool queried = !m_shownFrom.isEmpty();
    m_export->setEnabled(m_model->rowCount() > 0 && !isRequestRunning());
    if (!queried) {
        m_counts->clear();
        return;
    }
    if (m_model->rowCount() == 0) {
        m_counts->setText(u"Bu tarih aralığında gönderilmiş mesaj yok."_s);
        return;
    }
    m_counts->setText(StateCountLine(CountByState(m_model->rows())));
}

void Frm_Sms_Liste::setControlsEnabled(bool enabled)
{
    const bool busy = !enabled;
    // The wait keeps the window painting; nothing in it may start a second
    // request or read the rows meanwhile.
    for (DateField *field : m_dates)
        field->setEnabled(!busy);
    m_query->setEnabled(!busy);
    m_export->setEnabled(!busy && m_model->rowCount() > 0);
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Frm_Sms_Liste::ExportList()
{
    if (isRequestRunning() || m_model->rowCount() == 0)
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(u"iletim-raporu-%1-%2.csv"_s.arg(m_shownFrom, m_shownTo));
    SaveCsvFile(this, u"Listeyi Dışa Aktar"_s, suggested, m_model->shownTable(), u"Liste kaydedilemedi"_s);
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
