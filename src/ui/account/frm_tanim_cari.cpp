#include "ui/account/frm_tanim_cari.h"

#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "text/storedtext.h"
#include "ui/common/controls.h"
#include "ui/common/guardedlineedit.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringList>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// The client area: 9600 x 8985 twips.
constexpr int kWidthTwips = 9600;
constexpr int kHeightTwips = 8985;

constexpr int kApprovedBox = 18; // boxes 18 to 20: the approved sender names
constexpr int kSenderRows = 3;

struct BoxField
{
    int field;                // of the customer record
    const char16_t *caption;  // the label beside the box; nullptr: none of its own
};

// Box i shows field kBoxes[i].field.
constexpr std::array<BoxField, Frm_Tanim_Cari::BoxCount> kBoxes = {{
    {CustomerRecord::Cari_No, u"Cari Kodu :"},
    {CustomerRecord::Cari_Ad, u"Adı :"},
    {CustomerRecord::Cari_Soyad, u"Soyadı :"},
    {CustomerRecord::Cari_Unvan, u"Ünvanı :"},
    {CustomerRecord::Cari_Vergi_Dairesi, u"Vergi Dairesi :"},
    {CustomerRecord::Cari_Vergi_No, u"Vergi Kimlik No :"},
    {CustomerRecord::Cari_TC_No, u"TC Kimlik No :"},
    {CustomerRecord::Cari_Adres1, u"Adres :"},
    {CustomerRecord::Cari_Adres2, nullptr},
    {CustomerRecord::Cari_Adres3, nullptr},
    {CustomerRecord::Cari_ilce, u"İlçe :"},
    {CustomerRecord::Cari_il, u"İl :"},
    {CustomerRecord::Cari_GSM, u"GSM No :"},
    {CustomerRecord::Cari_Tel, u"Sabit Telefon :"},
    {CustomerRecord::Cari_Fax, u"Fax :"},
    {CustomerRecord::Cari_Mail_Adres, u"e-mail :"},
    {CustomerRecord::Cari_SMS_Kullanici_Adi, u"Kullanıcı Adı :"},
    {CustomerRecord::Cari_SMS_Sifre, u"Şifre :"},
    {CustomerRecord::Cari_SMS_Gonderici_Adi1, nullptr},
    {CustomerRecord::Cari_SMS_Gonderici_Adi2, nullptr},
    {CustomerRecord::Cari_SMS_Gonderici_Adi3, nullptr},
    {CustomerRecord::G_Ad1, nullptr},
    {CustomerRecord::G_Ad2, nullptr},
    {CustomerRecord::G_Ad3, nullptr},
}};

bool isEditable(int box)
{
    return (box >= Frm_Tanim_Cari::FirstDetailBox
            && box < Frm_Tanim_Cari::FirstDetailBox + Frm_Tanim_Cari::DetailCount)
           || box >= Frm_Tanim_Cari::FirstRequestBox;
}

// The boxes whose texts go to the service, in the order of the request.
constexpr std::array<int, 19> kSentBoxes = {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23};

QString senderRowCaption(int row)
{
    return u"SMS Gönderici Adı %1 :"_s.arg(row + 1);
}

// The result of a command 5 reply: the text between the first two marks
// (exact, case-sensitive), or "0".
QString saveResult(const QString &payload)
{
    const QStringList pieces = payload.split(u"<SMSCGuncelle>"_s, Qt::KeepEmptyParts, Qt::CaseSensitive);
    return pieces.size() >= 3 ? pieces.at(1) : u"0"_s;
}

// Where a box stands in its section's grid of caption and box columns.
struct Placement
{
    int box;
    int row;
    int column; // of its caption; the box follows
    int span = 1;
};

QGroupBox *section(const QString &title, const QString &name, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

Frm_Tanim_Cari::Frm_Tanim_Cari(const Service &service, Session &session, QWidget *parent)
    : ChildWindow(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Tanim_Cari"_s);
    setWindowTitle(u"Cari Bilgileri"_s);
    buildControls();
    setFixedSize(sizeHint());
    // The main window gives the icon and the place when it puts the window
    // into its area.
    RefreshFields();
    // Without a customer record there is nothing to save the details for.
    m_save->setEnabled(m_session.snapshot().hasCustomer);
}

Frm_Tanim_Cari::~Frm_Tanim_Cari() = default;

QSize Frm_Tanim_Cari::sizeHint() const
{
    return {Twips(kWidthTwips), Twips(kHeightTwips)};
}

QString Frm_Tanim_Cari::BoxName(int box)
{
    if (box == 8 || box == 9)
        return u"Adres (%1. satır)"_s.arg(box - 6);
    if (box >= kApprovedBox && box < FirstRequestBox)
        return u"SMS Gönderici Adı %1 (Onaylanmışlar)"_s.arg(box - kApprovedBox + 1);
    if (box >= FirstRequestBox)
        return u"SMS Gönderici Adı %1 (Yeni Talepler)"_s.arg(box - FirstRequestBox + 1);
    QString name = QString::fromUtf16(kBoxes[std::size_t(box)].caption);
    if (name.endsWith(u" :"_s))
        name.chop(2);
    return name;
}

void Frm_Tanim_Cari::buildControls()
{
    for (int i = 0; i < BoxCount; ++i) {
        auto *box = new GuardedLineEdit(this);
        box->setObjectName(u"text1_%1"_s.arg(i));
        if (!kBoxes[std::size_t(i)].caption)
            box->setAccessibleName(BoxName(i));
        if (!isEditable(i)) {
            box->setReadOnly(true);
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, kStripeColour);
            box->setPalette(palette);
        }
        if (i <= 2) { // the customer code and the name stand out
            QFont font = box->font();
            font.setBold(true);
            box->setFont(font);
        }
        if (i >= FirstRequestBox) {
            box->setTypingLimit(RequestedNameLimit);
            box->setKeyRule(GuardedLineEdit::KeyRule::FoldTurkish);
            box->setAccessibleDescription(u"En fazla %1 karakter; Türkçe harfler Latin harfleriyle yazılır."_s.arg(
                RequestedNameLimit));
        }
        m_boxes[std::size_t(i)] = box;
    }
    // The password is shown in clear, as the customer typed it.
    m_boxes[17]->setEchoMode(QLineEdit::Normal);

    auto sectionGrid = [](QGroupBox *frame) {
        auto *grid = new QGridLayout(frame);
        grid->setVerticalSpacing(3);
        grid->setContentsMargins(8, 4, 8, 6);
        return grid;
    };
    // A captioned section: each box with its caption before it, in columns
    // of caption and box; the box columns share the width as given.
    auto boxSection = [this, &sectionGrid](const QString &title, const QString &name,
                                           std::initializer_list<Placement> placements,
                                           std::initializer_list<int> boxColumnShares) {
        QGroupBox *frame = section(title, name, this);
        QGridLayout *grid = sectionGrid(frame);
        for (const Placement &place : placements) {
            GuardedLineEdit *edit = m_boxes[std::size_t(place.box)];
            if (const char16_t *text = kBoxes[std::size_t(place.box)].caption)
                grid->addWidget(CaptionLabel(QString::fromUtf16(text), edit, frame), place.row, place.column);
            grid->addWidget(edit, place.row, place.column + 1, 1, place.span);
        }
        int column = 1;
        for (const int share : boxColumnShares) {
            grid->setColumnStretch(column, share);
            column += 2;
        }
        grid->setRowStretch(grid->rowCount(), 1);
        return frame;
    };

    QGroupBox *person = boxSection(u"Yetkili Bilgileri"_s, u"fraYetkili"_s, {{0, 0, 0}, {1, 0, 2}, {2, 0, 4}},
                                   {2, 3, 3});
    QGroupBox *billing = boxSection(u"Fatura Bilgileri"_s, u"fraFatura"_s,
                                    {{3, 0, 0, 3},
                                     {4, 1, 0},
                                     {5, 1, 2},
                                     {6, 2, 0},
                                     {7, 3, 0, 3},
                                     {8, 4, 0, 3},
                                     {9, 5, 0, 3},
                                     {10, 6, 0},
                                     {11, 6, 2}},
                                    {1, 1});
    QGroupBox *contact = boxSection(u"İletişim Bilgileri"_s, u"fraIletisim"_s,
                                    {{12, 0, 0}, {13, 0, 2}, {14, 1, 0}, {15, 1, 2}}, {1, 1});
    QGroupBox *account = boxSection(u"SMS Hesap Bilgileri"_s, u"fraSMSHesap"_s, {{16, 0, 0}, {17, 1, 0}}, {1});

    // Sender names: a row per name, the approved one beside the requested one.
    auto *senders = section(u"SMS Gönderici Adları"_s, u"fraGondericiAdlari"_s, this);
    QGridLayout *senderGrid = sectionGrid(senders);
    auto *approvedHeader = new QLabel(u"Onaylanmışlar"_s, senders);
    approvedHeader->setObjectName(u"lblOnaylanmislar"_s);
    auto *requestedHeader = new QLabel(u"Yeni Talepler"_s, senders);
    requestedHeader->setObjectName(u"lblYeniTalepler"_s);
    senderGrid->addWidget(approvedHeader, 0, 1);
    senderGrid->addWidget(requestedHeader, 0, 2);
    for (int row = 0; row < kSenderRows; ++row) {
        GuardedLineEdit *approved = m_boxes[std::size_t(kApprovedBox + row)];
        GuardedLineEdit *requested = m_boxes[std::size_t(FirstRequestBox + row)];
        // The row's caption leads to the box the customer may type into; each
        // box names its row and column itself.
        senderGrid->addWidget(CaptionLabel(senderRowCaption(row), requested, senders), row + 1, 0);
        senderGrid->addWidget(approved, row + 1, 1);
        senderGrid->addWidget(requested, row + 1, 2);
    }
    senderGrid->setColumnStretch(1, 1);
    senderGrid->setColumnStretch(2, 1);

    auto *lower = new QHBoxLayout;
    lower->addWidget(account, 2);
    lower->addWidget(senders, 3);

    m_cancel = new QPushButton(u"Vazgeç"_s, this);
    m_cancel->setObjectName(u"Cmd_Vazgec"_s);
    m_save = new QPushButton(u"Kaydet"_s, this);
    m_save->setObjectName(u"Cmd_Kaydet"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(person);
    layout->addWidget(billing);
    layout->addWidget(contact);
    layout->addLayout(lower);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // Keyboard order: the boxes in their order, then the buttons.
    for (int i = 1; i < BoxCount; ++i)
        setTabOrder(m_boxes[std::size_t(i - 1)], m_boxes[std::size_t(i)]);
    setTabOrder(m_boxes[BoxCount - 1], m_cancel);
    setTabOrder(m_cancel, m_save);
    // The window's focus goes to the first box the customer may change.
    setFocusProxy(m_boxes[FirstDetailBox]);

    connect(m_save, &QPushButton::clicked, this, &Frm_Tanim_Cari::SaveClick);
    connect(m_cancel, &QPushButton::clicked, this, [this] { closeWindow(); });
}

QString Frm_Tanim_Cari::boxText(int box) const
{
    return m_boxes[std::size_t(box)]->text();
}

void Frm_Tanim_Cari::RefreshFields()
{
    const CustomerRecord &record = m_session.snapshot().customer;
    for (int i = 0; i < BoxCount; ++i)
        m_boxes[std::size_t(i)]->setText(record[kBoxes[std::size_t(i)].field]);
}

QString Frm_Tanim_Cari::Cari_Kayit(const QString &customerNo, const Details &details, const QString &senderName1,
                                    const QString &senderName2, const QString &senderName3)
{
    // The service keeps these texts inside "|"-joined and "<>"-marked
    // records: a separator would shift the SMS user name and password into
    // the wrong fields or break the record on the next load.
    const QStringList items(details.begin(), details.end());
    // Control characters would be stored unseen and come back into every
    // field and file that shows the details.
    for (const QString &text : items + QStringList{senderName1, senderName2, senderName3}) {
        if (HoldsStoreSeparator(text) || HoldsControlCharacter(text))
            return u"0"_s;
    }
    return runRequest([&] {
        return saveResult(
            SaveCustomerDetails(m_service, customerNo, items.join(u'|'), senderName1, senderName2, senderName3));
    });
}

void Frm_Tanim_Cari::SaveClick()
{
    if (isRequestRunning() || !m_session.snapshot().hasCustomer)
        return;
    for (const int box : kSentBoxes) {
        if (HoldsStoreSeparator(boxText(box))) {
            MessageBox::show(this, StoreSeparatorMessage(BoxName(box)));
            m_boxes[std::size_t(box)]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }

    Details details;
    for (int i = 0; i < DetailCount; ++i)
        details[std::size_t(i)] = boxText(FirstDetailBox + i);
    const QString result = Cari_Kayit(boxText(0), details, boxText(FirstRequestBox), boxText(FirstRequestBox + 1),
                                      boxText(FirstRequestBox + 2));
    // A refused or failed save is silent: the boxes keep what was typed.
    if (result != u"1")
        return;

    if (runRequest([this] { return ReloadSnapshot(m_service, m_session); }) == RefreshResult::Loaded) {
        RefreshFields();
        MessageBox::show(this, u"Kayıt Tamamlandı.."_s);
        return;
    }
    // The boxes now hold what the service stored; refilling them from the
    // old snapshot would show the previous values, and a further save would
    // put those back.
    MessageBox::show(this, u"Kayıt Tamamlandı, ancak güncel bilgileriniz sunucudan okunamadı.. "
                           u"Ekranda girdiğiniz bilgiler duruyor; güncel hâlini görmek için pencereyi "
                           u"daha sonra yeniden açınız."_s);
}

} // namespace velmor
