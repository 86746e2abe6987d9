#include "ui/send/frm_gonder.h"

#include "model/session.h"
#include "service/service.h"
#include "text/numberlist.h"
#include "text/turkish.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/controls.h"
#include "ui/common/grouptree.h"
#include "ui/send/messageedit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace velmor {

namespace {

bool recordNumberLess(const Contact &a, const Contact &b)
{
    return a.Adr_K_No < b.Adr_K_No;
}

QLabel *figure(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    // The balance after a send is whatever the service put in its section:
    // shown as it came, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(48);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QTreeView *contactList(const QString &name, ContactTableModel *model, QWidget *parent)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setUniformRowHeights(true);
    view->setRootIsDecorated(false);
    view->setSortingEnabled(false);
    return view;
}

// Only "Adı", "Soyadı" and "GSM No" are shown; the other columns stay in the model.
void showNameColumns(QTreeView *view)
{
    for (int column = 0; column < ContactTableModel::ColumnCount; ++column) {
        const bool shown = column == ContactTableModel::Adr_Adi || column == ContactTableModel::Adr_Soyadi
                           || column == ContactTableModel::Adr_GSM_No;
        view->setColumnHidden(column, !shown);
    }
    view->setColumnWidth(ContactTableModel::Adr_Adi, Twips(1000));
    view->setColumnWidth(ContactTableModel::Adr_Soyadi, Twips(1200));
    view->setColumnWidth(ContactTableModel::Adr_GSM_No, Twips(1200));
}

// At most this many refused entries are listed in a message.
constexpr qsizetype kListedRefusals = 20;

void selectFirstRow(QTreeView *view)
{
    const QModelIndex first = view->model()->index(0, ContactTableModel::Adr_Adi);
    view->selectionModel()->setCurrentIndex(first,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(first);
}

} // namespace

Frm_Gonder::Frm_Gonder(const Service &service, Session &session, QWidget *parent)
    : ChildWindow(parent), m_service(service), m_session(session)
{
    setObjectName(QStringLiteral("Frm_Gonder"));
    setWindowTitle(QStringLiteral("SMS Gönder"));
    buildControls();
    resize(sizeHint());

    // The main window gives the icon and the place when it puts the window
    // into its area; the rest of the opening happens here, in this order.
    PrepareListView(false, m_groupList, kStripeColour);
    PrepareListView(false, m_recipientList, kStripeColour);
    fillSenderNames();
    m_message->clear();
    messageChanged();
    FillGroupTree();
    m_balance->setText(FetchCreditBalance(m_session.customerNo()));
    if (m_senderName->count() > 0)
        m_senderName->setCurrentIndex(0);

    const MessageTemplateStore::LoadResult templates = m_templates.load();
    fillTemplateNames();
    if (templates == MessageTemplateStore::LoadResult::Unreadable) {
        MessageBox::show(this, QStringLiteral("Kayıtlı mesaj şablonları okunamadı (%1). Yeni bir şablon "
                                              "kaydedildiğinde okunamayan dosya \".bozuk\" uzantısıyla saklanır.")
                                   .arg(QDir::toNativeSeparators(m_templates.filePath())));
    }
}

Frm_Gonder::~Frm_Gonder() = default;

QSize Frm_Gonder::sizeHint() const
{
    return {Twips(15600), Twips(9900)};
}

void Frm_Gonder::buildControls()
{
    m_groupModel = new ContactTableModel(this);
    m_groupModel->setObjectName(QStringLiteral("groupContactsModel"));
    m_recipientModel = new ContactTableModel(this);
    m_recipientModel->setObjectName(QStringLiteral("recipientsModel"));

    // Address groups.
    auto *groups = CaptionedFrame(QStringLiteral("Adres Grupları"), QStringLiteral("fraGruplar"), this);
    m_groupTree = new GroupTree(groups);
    m_groupTree->setObjectName(QStringLiteral("TreeView1"));
    m_groupTree->setAccessibleName(groups->title());
    auto *groupsLayout = new QVBoxLayout(groups);
    groupsLayout->addWidget(m_groupTree);

    // Contacts of the chosen group.
    auto *groupContacts =
        CaptionedFrame(QStringLiteral("Gruptaki Kişiler"), QStringLiteral("fraGruptakiKisiler"), this);
    m_search = new QLineEdit(groupContacts);
    m_search->setObjectName(QStringLiteral("text1"));
    m_search->setMaxLength(101);
    m_search->setPlaceholderText(QStringLiteral("Ara: ad, soyad veya GSM no"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("Ara"));
    m_groupList = contactList(QStringLiteral("ListView2"), m_groupModel, groupContacts);
    m_groupList->setAccessibleName(groupContacts->title());
    m_selectAll = NamedButton(QStringLiteral("Tümünü Seç"), QStringLiteral("Cmd_Sec"), groupContacts);
    m_selectNone = NamedButton(QStringLiteral("Seçim İptal"), QStringLiteral("Cmd_Secim_iptal"), groupContacts);
    auto *groupContactsLayout = new QVBoxLayout(groupContacts);
    groupContactsLayout->addWidget(m_search);
    groupContactsLayout->addWidget(m_groupList, 1);
    auto *selectRow = new QHBoxLayout;
    selectRow->addWidget(m_selectAll);
    selectRow->addWidget(m_selectNone);
    groupContactsLayout->addLayout(selectRow);

    // Recipients.
    auto *recipients =
        CaptionedFrame(QStringLiteral("SMS Gönderilecek Kişiler"), QStringLiteral("fraGonderilecekKisiler"), this);
    m_recipientList = contactList(QStringLiteral("ListView3"), m_recipientModel, recipients);
    m_recipientList->setAccessibleName(recipients->title());
    m_recipientCount = figure(QStringLiteral("Label2_0"), recipients);
    m_withoutNumber = new QLabel(recipients);
    m_withoutNumber->setObjectName(QStringLiteral("lblNumarasiYok"));
    m_withoutNumber->setTextFormat(Qt::PlainText);
    m_withoutNumber->setVisible(false);
    m_addNumber = new QLineEdit(recipients);
    m_addNumber->setObjectName(QStringLiteral("txtNumaraEkle"));
    // Room for a pasted list of many thousand numbers.
    m_addNumber->setMaxLength(1000000);
    m_addNumber->setPlaceholderText(QStringLiteral("05xx xxx xx xx (birden çok numara yapıştırılabilir)"));
    m_addNumber->setClearButtonEnabled(true);
    m_addNumberButton = NamedButton(QStringLiteral("Ekle"), QStringLiteral("cmdNumaraEkle"), recipients);
    m_addNumberButton->setEnabled(false);
    auto *recipientsLayout = new QVBoxLayout(recipients);
    recipientsLayout->addWidget(m_recipientList, 1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("SMS Gönderilecek Kişi Sayısı :"), recipients));
    countRow->addWidget(m_recipientCount);
    countRow->addWidget(m_withoutNumber);
    countRow->addStretch(1);
    recipientsLayout->addLayout(countRow);
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(CaptionLabel(QStringLiteral("Numara Ekle :"), m_addNumber, recipients));
    numberRow->addWidget(m_addNumber, 1);
    numberRow->addWidget(m_addNumberButton);
    recipientsLayout->addLayout(numberRow);

    // Message.
    auto *message = CaptionedFrame(QStringLiteral("SMS Metni"), QStringLiteral("fraMesaj"), this);
    m_message = new MessageEdit(message);
    m_message->setObjectName(QStringLiteral("Text2"));
    m_message->setTabChangesFocus(true);
    m_message->setAccessibleName(message->title());
    m_messageLength = figure(QStringLiteral("Label2_1"), message);
    m_partInformation = new QLabel(message);
    m_partInformation->setObjectName(QStringLiteral("lblMesajBilgisi"));
    m_partInformation->setTextFormat(Qt::PlainText);
    m_templateName = new QComboBox(message);
    m_templateName->setObjectName(QStringLiteral("cmbSablon"));
    // Picked from the list to fill the box; a new name is typed in.
    m_templateName->setEditable(true);
    m_templateName->setInsertPolicy(QComboBox::NoInsert);
    m_templateName->setCompleter(nullptr);
    m_templateName->setMinimumContentsLength(16);
    m_templateName->lineEdit()->setMaxLength(60);
    m_templateName->lineEdit()->setPlaceholderText(QStringLiteral("Şablon seçin veya yeni ad yazın"));
    m_saveTemplate = NamedButton(QStringLiteral("Şablonu Kaydet"), QStringLiteral("cmdSablonKaydet"), message);
    m_deleteTemplate = NamedButton(QStringLiteral("Şablonu Sil"), QStringLiteral("cmdSablonSil"), message);
    m_deleteTemplate->setEnabled(false);
    auto *messageLayout = new QVBoxLayout(message);
    messageLayout->addWidget(m_message, 1);
    auto *lengthRow = new QHBoxLayout;
    lengthRow->addWidget(new QLabel(QStringLiteral("SMS Metin Boyu :"), message));
    lengthRow->addWidget(m_messageLength);
    lengthRow->addWidget(m_partInformation);
    lengthRow->addStretch(1);
    messageLayout->addLayout(lengthRow);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(CaptionLabel(QStringLiteral("Şablon :"), m_templateName, message));
    templateRow->addWidget(m_templateName, 1);
    templateRow->addWidget(m_saveTemplate);
    templateRow->addWidget(m_deleteTemplate);
    messageLayout->addLayout(templateRow);

    // Sender name.
    auto *sender = CaptionedFrame(QStringLiteral("Gönderici"), QStringLiteral("fraGonderici"), this);
    m_senderName = new QComboBox(sender);
    m_senderName->setObjectName(QStringLiteral("Combo1"));
    m_senderName->setEditable(false);
    m_senderName->setMinimumContentsLength(14);
    m_noSenderNote = new QLabel(QStringLiteral("Onaylanmış gönderici adınız bulunmuyor."), sender);
    m_noSenderNote->setObjectName(QStringLiteral("lblGondericiYok"));
    m_noSenderNote->setWordWrap(true);
    m_noSenderNote->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    auto *senderLayout = new QVBoxLayout(sender);
    senderLayout->addWidget(CaptionLabel(QStringLiteral("SMS'de Görülecek Gönderici Adı :"), m_senderName, sender));
    senderLayout->addWidget(m_senderName);
    senderLayout->addWidget(m_noSenderNote);

    // Commands.
    auto *commands = CaptionedFrame(QStringLiteral("İşlemler"), QStringLiteral("fraIslemler"), this);
    m_add = NamedButton(QStringLiteral("Listeye Ekle"), QStringLiteral("Cmd_Lst_Ekle"), commands);
    m_remove = NamedButton(QStringLiteral("Listeden Çıkar"), QStringLiteral("Cmd_Lst_Cikar"), commands);
    m_balance = figure(QStringLiteral("Label6"), commands);
    m_balance->setText(QString());
    m_balance->setCursor(Qt::PointingHandCursor);
    m_balance->setToolTip(QStringLiteral("Gönderim düğmesini mevcut kontöre göre yeniden denetler"));
    m_balance->installEventFilter(this);
    m_cost = figure(QStringLiteral("Label7"), commands);
    m_send = NamedButton(QStringLiteral("SMS Gönder"), QStringLiteral("cmdGonder"), commands);
    m_send->setEnabled(false);
    auto *commandsLayout = new QGridLayout(commands);
    commandsLayout->addWidget(m_add, 0, 0);
    commandsLayout->addWidget(m_remove, 0, 1);
    commandsLayout->addWidget(new QLabel(QStringLiteral("Mevcut Kontörünüz :"), commands), 1, 0);
    commandsLayout->addWidget(m_balance, 1, 1);
    commandsLayout->addWidget(new QLabel(QStringLiteral("Harcanacak Kontör Adedi :"), commands), 2, 0);
    commandsLayout->addWidget(m_cost, 2, 1);
    commandsLayout->addWidget(m_send, 3, 0, 1, 2);

    auto *layout = new QGridLayout(this);
    layout->addWidget(groups, 0, 0);
    layout->addWidget(groupContacts, 0, 1);
    layout->addWidget(recipients, 0, 2);
    layout->addWidget(message, 1, 0, 2, 2);
    layout->addWidget(sender, 1, 2);
    layout->addWidget(commands, 2, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(2, 3);
    layout->setRowStretch(0, 3);
    layout->setRowStretch(2, 1);

    showNameColumns(m_groupList);
    showNameColumns(m_recipientList);

    connect(m_groupTree, &QTreeWidget::itemClicked, this, &Frm_Gonder::ShowGroupContacts);
    connect(m_groupTree, &GroupTree::nodeChosenByKey, this, &Frm_Gonder::ShowGroupContacts);
    connect(m_search, &QLineEdit::textChanged, this, &Frm_Gonder::FilterGroupContacts);
    connect(m_add, &QPushButton::clicked, this, &Frm_Gonder::AddRecipients);
    connect(m_groupList, &QAbstractItemView::doubleClicked, this, &Frm_Gonder::AddRecipients);
    connect(m_remove, &QPushButton::clicked, this, &Frm_Gonder::RemoveRecipients);
    connect(m_recipientList, &QAbstractItemView::doubleClicked, this, &Frm_Gonder::RemoveRecipients);
    connect(m_selectAll, &QPushButton::clicked, this, &Frm_Gonder::selectAllCandidates);
    connect(m_selectNone, &QPushButton::clicked, this, &Frm_Gonder::clearCandidateSelection);
    connect(m_message, &MessageEdit::messageChanged, this, &Frm_Gonder::messageChanged);
    connect(m_send, &QPushButton::clicked, this, &Frm_Gonder::SendClick);
    connect(m_addNumber, &QLineEdit::returnPressed, this, &Frm_Gonder::AddNumbers);
    connect(m_addNumberButton, &QPushButton::clicked, this, &Frm_Gonder::AddNumbers);
    connect(m_addNumber, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_addNumberButton->setEnabled(!text.trimmed().isEmpty()); });
    connect(m_templateName, &QComboBox::activated, this, &Frm_Gonder::templateChosen);
    connect(m_templateName, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        m_deleteTemplate->setEnabled(m_templates.indexOf(name.trimmed()) >= 0);
    });
    connect(m_saveTemplate, &QPushButton::clicked, this, &Frm_Gonder::saveTemplate);
    connect(m_deleteTemplate, &QPushButton::clicked, this, &Frm_Gonder::deleteTemplate);
}

void Frm_Gonder::fillSenderNames()
{
    m_senderName->clear();
    const CustomerRecord &customer = m_session.snapshot().customer;
    for (const int field : {CustomerRecord::Cari_SMS_Gonderici_Adi1, CustomerRecord::Cari_SMS_Gonderici_Adi2,
                            CustomerRecord::Cari_SMS_Gonderici_Adi3}) {
        if (!customer[field].trimmed().isEmpty())
            m_senderName->addItem(customer[field]);
    }
    m_noSenderNote->setVisible(!hasSenderName());
}

bool Frm_Gonder::hasSenderName() const
{
    return m_senderName->count() > 0;
}

void Frm_Gonder::FillGroupTree()
{
    m_groupTree->BuildGroupTree(m_session.snapshot().groups);

    m_chosenKeys.clear();
    m_chosenOrder.clear();
    m_chosenSet.clear();
    m_recipients.clear();
    m_recipientModel->setContacts(m_recipients);
    ShowGroupContacts();
}

void Frm_Gonder::ShowGroupContacts()
{
    // The contact list is shared with the snapshot, not copied.
    m_source = m_session.snapshot().contacts;

    const QString chosenGroup = GroupTree::NodeGroupNo(m_groupTree->currentItem());
    const bool everyGroup = chosenGroup == u"0";
    const bool anyChosen = !m_chosenSet.isEmpty();

    m_filter.reset();
    m_candidates.clear();
    m_candidates.reserve(everyGroup ? m_source.size() : 0);
    const qsizetype count = m_source.size();
    for (qsizetype i = 0; i < count; ++i) {
        const Contact &contact = m_source.at(i);
        if (!everyGroup && contact.Grup_No != chosenGroup)
            continue;
        if (anyChosen && m_chosenSet.contains(contact.MarkKey))
            continue;
        m_candidates.append(int(i));
    }
    FilterGroupContacts();
    updateRecipientCount();
}

void Frm_Gonder::updateRecipientCount()
{
    m_reachable = 0;
    m_outsideCount = 0;
    for (const Contact &recipient : std::as_const(m_recipients)) {
        if (HasNumberToSend(recipient))
            ++m_reachable;
        if (IsOutsideRecipient(recipient))
            ++m_outsideCount;
    }
    const qsizetype withoutNumber = m_recipients.size() - m_reachable;
    m_withoutNumber->setText(QStringLiteral("(%1 kişinin numarası yok)").arg(withoutNumber));
    m_withoutNumber->setVisible(withoutNumber > 0);
    m_recipientCount->setText(QString::number(m_recipients.size()));
    CalculateCost();
}

void Frm_Gonder::FilterGroupContacts()
{
    m_groupModel->setContacts(m_source, m_filter.apply(m_source, &m_candidates, m_search->text()));
    updateButtons();
}

void Frm_Gonder::updateButtons()
{
    const bool candidates = m_groupModel->rowCount() > 0;
    m_add->setEnabled(candidates);
    m_selectAll->setEnabled(candidates);
    m_selectNone->setEnabled(candidates);
    m_remove->setEnabled(!m_recipients.isEmpty());
}

QList<int> Frm_Gonder::selectedRows(const QTreeView *view) const
{
    // One pass over the selection ranges, then one over the rows: no
    // per-row selection query.
    const int rowCount = view->model()->rowCount();
    std::vector<char> marked(std::size_t(rowCount), 0);
    qsizetype markedCount = 0;
    const QItemSelection selection = view->selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        const int bottom = std::min(range.bottom(), rowCount - 1);
        for (int row = std::max(range.top(), 0); row <= bottom; ++row) {
            if (!marked[std::size_t(row)]) {
                marked[std::size_t(row)] = 1;
                ++markedCount;
            }
        }
    }
    QList<int> rows;
    rows.reserve(markedCount);
    for (int row = 0; row < rowCount; ++row) {
        if (marked[std::size_t(row)])
            rows.append(row);
    }
    return rows;
}

void Frm_Gonder::AddRecipients()
{
    QList<Contact> added;
    for (const int row : selectedRows(m_groupList)) {
        const Contact &contact = m_groupModel->contactAt(row);
        // One entry per contact, even should the list hold the same key twice.
        if (m_chosenSet.contains(contact.MarkKey))
            continue;
        m_chosenSet.insert(contact.MarkKey);
        m_chosenKeys += contact.MarkKey;
        m_chosenOrder.append(contact.MarkKey);
        added.append(contact);
    }
    if (!added.isEmpty()) {
        dropOutsideNumbersOf(added);
        mergeRecipients(std::move(added));
    }
    ShowGroupContacts();
    if (m_groupModel->rowCount() > 0)
        selectFirstRow(m_groupList);
    m_groupList->setFocus();
}

void Frm_Gonder::mergeRecipients(QList<Contact> added)
{
    // The list stays ascending by record number as text (numbers from
    // outside the phone book, without one, first, in the order added): sort
    // the new rows and merge them in, instead of inserting one by one.
    std::stable_sort(added.begin(), added.end(), recordNumberLess);
    const qsizetype oldCount = m_recipients.size();
    m_recipients.append(std::move(added));
    std::inplace_merge(m_recipients.begin(), m_recipients.begin() + oldCount, m_recipients.end(),
                       recordNumberLess);
    m_recipientModel->setContacts(m_recipients);
}

void Frm_Gonder::dropOutsideNumbersOf(const QList<Contact> &added)
{
    // A number added from outside the phone book gives way to a contact
    // chosen later with the same number: it would otherwise be sent twice.
    if (m_outsideCount == 0)
        return;
    QSet<QString> numbers;
    numbers.reserve(added.size());
    for (const Contact &contact : added) {
        if (HasNumberToSend(contact))
            numbers.insert(ComparableNumber(contact.Adr_GSM_No));
    }
    QList<int> rows;
    for (qsizetype i = 0; i < m_recipients.size(); ++i) {
        const Contact &recipient = m_recipients.at(i);
        if (IsOutsideRecipient(recipient) && numbers.contains(recipient.Adr_GSM_No))
            rows.append(int(i));
    }
    if (!rows.isEmpty())
        removeRecipientRows(rows);
}

void Frm_Gonder::removeRecipientRows(const QList<int> &rows)
{
    QSet<QString> removed;
    removed.reserve(rows.size());
    std::vector<char> drop(std::size_t(m_recipients.size()), 0);
    for (const int row : rows) {
        drop[std::size_t(row)] = 1;
        removed.insert(m_recipients.at(row).MarkKey);
    }
    QList<Contact> kept;
    kept.reserve(m_recipients.size() - rows.size());
    for (qsizetype i = 0; i < m_recipients.size(); ++i) {
        if (!drop[std::size_t(i)])
            kept.append(m_recipients.at(i));
    }
    m_recipients = std::move(kept);

    // Rebuild the text form and the order in one pass over the keys.
    QString keys;
    keys.reserve(m_chosenKeys.size());
    QStringList order;
    order.reserve(m_chosenOrder.size());
    for (const QString &key : std::as_const(m_chosenOrder)) {
        if (removed.contains(key))
            continue;
        keys += key;
        order.append(key);
    }
    m_chosenKeys = std::move(keys);
    m_chosenOrder = std::move(order);
    for (const QString &key : std::as_const(removed))
        m_chosenSet.remove(key);
    m_recipientModel->setContacts(m_recipients);
}

void Frm_Gonder::RemoveRecipients()
{
    const QList<int> rows = selectedRows(m_recipientList);
    if (!rows.isEmpty())
        removeRecipientRows(rows);
    ShowGroupContacts();
    if (!m_recipients.isEmpty())
        selectFirstRow(m_recipientList);
    m_recipientList->setFocus();
}

void Frm_Gonder::AddNumbers()
{
    const MobileNumberList read = ReadMobileNumbers(m_addNumber->text());

    // Every number already chosen, as a contact's or from outside.
    QSet<QString> chosenNumbers;
    chosenNumbers.reserve(m_recipients.size() + read.numbers.size());
    for (const Contact &recipient : std::as_const(m_recipients)) {
        if (HasNumberToSend(recipient))
            chosenNumbers.insert(ComparableNumber(recipient.Adr_GSM_No));
    }
    QList<Contact> added;
    qsizetype repeated = 0;
    for (const QString &number : read.numbers) {
        if (chosenNumbers.contains(number)) {
            ++repeated;
            continue;
        }
        chosenNumbers.insert(number);
        Contact recipient = OutsideRecipient(number);
        m_chosenSet.insert(recipient.MarkKey);
        m_chosenKeys += recipient.MarkKey;
        m_chosenOrder.append(recipient.MarkKey);
        added.append(std::move(recipient));
    }
    if (!added.isEmpty())
        mergeRecipients(std::move(added));
    updateRecipientCount();
    updateButtons();

    // What was not a number stays in the field to be put right.
    m_addNumber->setText(read.refused.join(QStringLiteral(", ")));
    QStringList notes;
    if (!read.refused.isEmpty()) {
        QStringList listed = read.refused.first(std::min(read.refused.size(), kListedRefusals));
        if (read.refused.size() > kListedRefusals)
            listed.append(QStringLiteral("… ve %1 tane daha").arg(read.refused.size() - kListedRefusals));
        notes.append(QStringLiteral("Cep telefonu numarası olarak okunamayanlar eklenmedi:\n")
                     + listed.join(u'\n'));
    }
    if (repeated > 0)
        notes.append(QStringLiteral("%1 numara zaten listede olduğu için yeniden eklenmedi.").arg(repeated));
    if (!notes.isEmpty())
        MessageBox::show(this, notes.join(QStringLiteral("\n\n")));
    m_addNumber->setFocus();
}

void Frm_Gonder::selectAllCandidates()
{
    m_groupList->selectAll();
    m_groupList->setFocus();
}

void Frm_Gonder::clearCandidateSelection()
{
    m_groupList->clearSelection();
    m_groupList->setFocus();
}

void Frm_Gonder::messageChanged()
{
    const qsizetype length = MessageLength(m_message->message());
    m_partInformation->setText(PartInformation(length));
    setFigure(m_messageLength, QString::number(length));
}

void Frm_Gonder::setFigure(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    CalculateCost();
}

QString Frm_Gonder::FetchCreditBalance(const QString &customerNo)
{
    const QString payload = runRequest([&] { return FetchCreditBalancePayload(m_service, customerNo); });
    return CreditBalanceFromPayload(payload);
}

void Frm_Gonder::applyCost(const CostDecision &decision)
{
    m_cost->setText(decision.cost);
    // Recipients of whom none has a number cost nothing, and the button stays
    // offered so that its click says why nothing goes out.
    const bool nobodyToReach = !m_recipients.isEmpty() && m_reachable == 0 && m_messageLength->text() != u"0";
    // Without an approved sender name there is nothing to send under.
    m_send->setEnabled((decision.sendEnabled || nobodyToReach) && hasSenderName());
}

void Frm_Gonder::CalculateCost()
{
    // Only recipients with a number are charged.
    applyCost(velmor::CalculateCost(QString::number(m_reachable), m_messageLength->text(), m_balance->text()));
}

void Frm_Gonder::BalanceClick()
{
    applyCost(ReapplyCostRule(QString::number(m_reachable), m_messageLength->text(), m_cost->text(),
                              m_balance->text()));
}

QString Frm_Gonder::SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                            const QString &message, const QString &phoneList, const QString &partCount)
{
    return runRequest(
        [&] { return velmor::SendSms(m_service, customerNo, senderName, messageType, message, phoneList, partCount); });
}

void Frm_Gonder::SendClick()
{
    m_send->setEnabled(false);
    if (m_session.loginActive() != u"1" || !hasSenderName())
        return;
    if (m_reachable == 0) {
        MessageBox::show(this, QStringLiteral("Seçilen kişilerin hiçbirinin cep telefonu numarası yok. "
                                              "Mesaj gönderilmedi."));
        m_send->setEnabled(true);
        return;
    }

    const QString text = m_message->message();
    const QString partCount = QString::number(MessagePartCount(MessageLength(text)));
    const QString reply = SendSms(m_session.customerNo(), m_senderName->currentText(), QStringLiteral("1"),
                                  MessageForSending(text), BuildTelephoneList(m_recipients), partCount);
    if (m_service.lastOutcome() == RequestOutcome::Abandoned) {
        // The service may have sent the messages before the user gave up
        // waiting: say so, and show the balance as it now stands.
        MessageBox::show(this, QStringLiteral("Gönderimin sonucunu beklemekten vazgeçtiniz. Mesajlarınız gönderilmiş "
                                              "de olabilir, gönderilmemiş de; sonucu İletim Raporları'nda "
                                              "görebilirsiniz."));
        m_balance->setText(FetchCreditBalance(m_session.customerNo()));
        CalculateCost();
        return;
    }
    m_balance->setText(GetTagText(reply, QStringLiteral("<SMSGonderim>")));
    MessageBox::show(this, SendSucceeded(m_balance->text()) ? QStringLiteral("Mesajlarınız Gönderildi.")
                                                            : QStringLiteral("Mesajlarınız Gönderilemedi..!"));
    m_send->setEnabled(true);
}

void Frm_Gonder::fillTemplateNames()
{
    const QSignalBlocker blocker(m_templateName);
    m_templateName->clear();
    for (const MessageTemplate &entry : m_templates.templates())
        m_templateName->addItem(entry.name);
    m_templateName->setCurrentIndex(-1);
    m_templateName->clearEditText();
    m_deleteTemplate->setEnabled(false);
}

void Frm_Gonder::templateChosen(int index)
{
    const qsizetype at = m_templates.indexOf(m_templateName->itemText(index));
    if (at < 0)
        return;
    const MessageTemplate entry = m_templates.templates().at(at);
    const QString current = m_message->message();
    if (!current.isEmpty() && current != MessageBoxText(entry.text)
        && !MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                                 QStringLiteral("Mesaj kutusundaki metin \"%1\" şablonunun metniyle "
                                                "değiştirilsin mi?")
                                     .arg(entry.name))) {
        return;
    }
    // Set as any text the program puts into the box: converted there.
    m_message->setPlainText(entry.text);
    m_message->moveCursor(QTextCursor::End);
    m_message->setFocus();
}

void Frm_Gonder::saveTemplate()
{
    QString name = m_templateName->currentText().trimmed();
    if (name.isEmpty()) {
        MessageBox::show(this, QStringLiteral("Şablonun adını \"Şablon\" kutusuna yazın."));
        m_templateName->setFocus();
        return;
    }
    const QString text = m_message->message();
    if (text.isEmpty()) {
        MessageBox::show(this, QStringLiteral("Şablon olarak kaydedilecek bir mesaj yok."));
        m_message->setFocus();
        return;
    }
    const qsizetype at = m_templates.indexOf(name);
    if (at >= 0) {
        name = m_templates.templates().at(at).name;
        if (m_templates.templates().at(at).text != text
            && !MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                                     QStringLiteral("\"%1\" adlı bir şablon zaten var. Metni bu mesajla "
                                                    "değiştirilsin mi?")
                                         .arg(name))) {
            return;
        }
    }
    QString error;
    if (!m_templates.save(name, text, &error)) {
        MessageBox::show(this, QStringLiteral("Şablon kaydedilemedi.\n%1").arg(error));
        return;
    }
    fillTemplateNames();
    m_templateName->setCurrentIndex(int(m_templates.indexOf(name)));
}

void Frm_Gonder::deleteTemplate()
{
    const qsizetype at = m_templates.indexOf(m_templateName->currentText().trimmed());
    if (at < 0)
        return;
    const QString name = m_templates.templates().at(at).name;
    if (!MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                              QStringLiteral("\"%1\" şablonu silinsin mi?").arg(name))) {
        return;
    }
    QString error;
    if (!m_templates.remove(name, &error)) {
        MessageBox::show(this, QStringLiteral("Şablon silinemedi.\n%1").arg(error));
        return;
    }
    fillTemplateNames();
}

bool Frm_Gonder::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_balance && event->type() == QEvent::MouseButtonRelease) {
        BalanceClick();
        return true;
    }
    return ChildWindow::eventFilter(watched, event);
}

} // namespace velmor
