#include "ui/phonebook/frm_tanim_rehber.h"

#include "model/contactimport.h"
#include "model/phonebook.h"
#include "model/session.h"
#include "service/coding.h"
#include "service/service.h"
#include "text/number.h"
#include "text/phonenumber.h"
#include "text/storedtext.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/controls.h"
#include "ui/common/filedialog.h"
#include "ui/common/guardedlineedit.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/phonebook/importpreviewdialog.h"
#include "ui/phonebook/importprogressdialog.h"
#include "ui/phonebook/phonebookwidgets.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// The captions of the editor's fields (none for the second and third address
// line, which go by their names); names and typing limits are the contact
// fields' own.
constexpr std::array<const char16_t *, kContactFieldCount> kCaptions{
    u"Adı :", u"Soyadı :", u"Adres :", u"", u"", u"İlçe :", u"İl :", u"Cep Telefonu :", u"Sabit Telefon :", u"Fax :",
};
constexpr int kFirstName = FieldAdi;
constexpr int kMobile = FieldGsm;
constexpr int kFixed = FieldTel;
constexpr int kFax = FieldFax;

const QString kNewGroupName = u"Yeni Grup"_s;

// A contact list over its model, one row chosen at a time, rows draggable
// onto the tree; only the given columns are shown, 1440 twips wide.
ContactListView *contactListView(const QString &name, const QString &caption, ContactTableModel *model,
                                 std::initializer_list<int> shown, QWidget *parent)
{
    auto *view = new ContactListView(parent);
    view->setObjectName(name);
    view->setAccessibleName(caption);
    model->setDragEnabled(true);
    view->setModel(model);
    PrepareListView(false, view, kStripeColour);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSortingEnabled(false);
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    for (int column = 0; column < ContactTableModel::ColumnCount; ++column)
        view->setColumnHidden(column, true);
    for (const int column : shown) {
        view->setColumnHidden(column, false);
        view->setColumnWidth(column, Twips(1440));
    }
    return view;
}

int selectedRow(const QAbstractItemView *view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

} // namespace

Frm_Tanim_Rehber::Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent)
    : ChildWindow(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Tanim_Rehber"_s);
    setWindowTitle(u"Grup ve Kişi Tanımları"_s);
    buildControls();
    resize(sizeHint());

    // The main window gives the icon and the place when it puts the window
    // into its area. "Seçilen Gruptaki Kişiler" stays empty until a node is chosen.
    BuildGroupTree();
}

Frm_Tanim_Rehber::~Frm_Tanim_Rehber() = default;

QSize Frm_Tanim_Rehber::sizeHint() const
{
    return {Twips(15000), Twips(9600)};
}

void Frm_Tanim_Rehber::buildControls()
{
    m_groupModel = new ContactTableModel(this);
    m_groupModel->setObjectName(u"groupContactsModel"_s);
    m_allModel = new ContactTableModel(this);
    m_allModel->setObjectName(u"allContactsModel"_s);

    // Address groups, with the pop-up menu of the tree.
    auto *groups = CaptionedFrame(u"Adres Grupları"_s, u"fraGruplar"_s, this);
    m_tree = new PhoneBookTree(groups);
    m_tree->setObjectName(u"TreeView1"_s);
    m_tree->setAccessibleName(groups->title());
    auto *groupsLayout = new QVBoxLayout(groups);
    groupsLayout->addWidget(m_tree);

    m_menu = new QMenu(this);
    m_menu->setObjectName(u"A_M"_s);
    auto menuItem = [this](const QString &caption, const QString &name, void (Frm_Tanim_Rehber::*handler)()) {
        QAction *action = m_menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_newGroup = menuItem(u"Yeni Grup Adı Ekle"_s, u"A_M1"_s, &Frm_Tanim_Rehber::newGroup);
    m_renameGroup = menuItem(u"Grup Adı Düzenle"_s, u"A_M2"_s, &Frm_Tanim_Rehber::startRename);
    m_deleteGroup = menuItem(u"Grup Adı Sil"_s, u"A_M3"_s, &Frm_Tanim_Rehber::deleteGroup);

    // Contacts of the chosen group.
    auto *groupContacts = CaptionedFrame(u"Seçilen Gruptaki Kişiler"_s, u"fraSeciliGrup"_s, this);
    m_groupList = contactListView(u"ListView1"_s, groupContacts->title(), m_groupModel,
                                  {ContactTableModel::Adr_Adi, ContactTableModel::Adr_Soyadi,
                                   ContactTableModel::Adr_GSM_No},
                                  groupContacts);
    auto *groupContactsLayout = new QVBoxLayout(groupContacts);
    groupContactsLayout->addWidget(m_groupList);

    // Every contact, narrowed by the search.
    auto *allContacts = CaptionedFrame(u"Tüm Kişiler"_s, u"fraTumKisiler"_s, this);
    auto *searchCaption = new QLabel(u"Ara :"_s, allContacts);
    m_search = new QLineEdit(allContacts);
    m_search->setObjectName(u"Text2"_s);
    m_search->setPlaceholderText(u"ad, soyad veya GSM no"_s);
    m_search->setClearButtonEnabled(true);
    searchCaption->setBuddy(m_search);
    m_allList = contactListView(
        u"ListView2"_s, allContacts->title(), m_allModel,
        {ContactTableModel::Adr_Adi, ContactTableModel::Adr_Soyadi, ContactTableModel::Adr_Adres1,
         ContactTableModel::Adr_Adres2, ContactTableModel::Adr_Adres3, ContactTableModel::Adr_ilce,
         ContactTableModel::Adr_il, ContactTableModel::Adr_GSM_No, ContactTableModel::Adr_Tel_No,
         ContactTableModel::Adr_Fax_No},
        allContacts);
    auto *allContactsLayout = new QVBoxLayout(allContacts);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(m_search, 1);
    allContactsLayout->addLayout(searchRow);
    allContactsLayout->addWidget(m_allList, 1);

    // The contact editor.
    auto *editor = CaptionedFrame(u"Kişi Bilgileri"_s, u"fraKisiBilgileri"_s, this);
    auto *fields = new QGridLayout;
    for (int i = 0; i < kContactFieldCount; ++i) {
        auto *field = new GuardedLineEdit(editor);
        field->setObjectName(u"text1_%1"_s.arg(i));
        field->setTypingLimit(kContactFields[std::size_t(i)].limit);
        if (i >= kMobile)
            field->setKeyRule(GuardedLineEdit::KeyRule::Digits);
        const QString caption = QString::fromUtf16(kCaptions[std::size_t(i)]);
        if (caption.isEmpty()) {
            field->setAccessibleName(ContactFieldName(i));
        } else {
            auto *label = new QLabel(caption, editor);
            label->setBuddy(field);
            fields->addWidget(label, i < 5 ? i : i - 5, i < 5 ? 0 : 2);
        }
        fields->addWidget(field, i < 5 ? i : i - 5, i < 5 ? 1 : 3);
        m_fields[std::size_t(i)] = field;
        connect(field, &QLineEdit::textChanged, this, &Frm_Tanim_Rehber::UpdateEditorButtons);
    }
    auto *groupCaption = new QLabel(u"Dahil Olduğu Grup :"_s, editor);
    m_groupChoice = new QComboBox(editor);
    m_groupChoice->setObjectName(u"Combo1"_s);
    m_groupChoice->setEditable(false);
    m_groupChoice->setMinimumContentsLength(20);
    m_groupChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    groupCaption->setBuddy(m_groupChoice);
    fields->addWidget(groupCaption, 5, 0);
    fields->addWidget(m_groupChoice, 5, 1);
    fields->setColumnStretch(1, 3);
    fields->setColumnStretch(3, 2);

    m_new = NamedButton(u"Yeni Kişi"_s, u"Cmd_Yeni"_s, editor);
    m_save = NamedButton(u"Kaydet"_s, u"Cmd_Kaydet"_s, editor);
    m_delete = NamedButton(u"Sil"_s, u"Cmd_Sil"_s, editor);
    m_import = NamedButton(u"İçe Aktar…"_s, u"Cmd_IceAktar"_s, editor);
    m_export = NamedButton(u"Dışa Aktar…"_s, u"Cmd_DisaAktar"_s, editor);
    m_cancel = NamedButton(u"Vazgeç"_s, u"Cmd_Vazgec"_s, editor);
    m_commands = new QHBoxLayout;
    m_commands->addWidget(m_new);
    m_commands->addWidget(m_save);
    m_commands->addWidget(m_delete);
    m_commands->addStretch(1);
    m_commands->addWidget(m_import);
    m_commands->addWidget(m_export);
    m_commands->addWidget(m_cancel);
    auto *editorLayout = new QVBoxLayout(editor);
    editorLayout->addLayout(fields);
    editorLayout->addLayout(m_commands);

    auto *layout = new QGridLayout(this);
    layout->addWidget(groups, 0, 0);
    layout->addWidget(groupContacts, 0, 1);
    layout->addWidget(allContacts, 0, 2);
    layout->addWidget(editor, 1, 0, 1, 3);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 2);
    layout->setColumnStretch(2, 5);
    layout->setRowStretch(0, 1);

    connect(m_tree, &PhoneBookTree::nodeChosen, this, &Frm_Tanim_Rehber::FillGroupContacts);
    connect(m_tree, &PhoneBookTree::menuRequested, this, &Frm_Tanim_Rehber::showMenu);
    connect(m_tree, &PhoneBookTree::renameFinished, this, &Frm_Tanim_Rehber::renameGroup);
    connect(m_tree, &PhoneBookTree::contactDropped, this, &Frm_Tanim_Rehber::moveContact);
    connect(m_search, &QLineEdit::textChanged, this, &Frm_Tanim_Rehber::FilterAllContacts);
    for (const int list : {1, 2}) {
        ContactListView *view = contactList(list);
        connect(view, &ContactListView::focusReceived, this, [this, list] { m_activeList = list; });
        connect(view, &QAbstractItemView::clicked, this, [this, list] { ShowSelectedContact(list); });
        connect(view, &ContactListView::rowChosenByKey, this, [this, list] { ShowSelectedContact(list); });
    }
    connect(m_groupChoice, &QComboBox::currentIndexChanged, this, &Frm_Tanim_Rehber::groupChosen);
    connect(m_new, &QPushButton::clicked, this, &Frm_Tanim_Rehber::newContact);
    connect(m_save, &QPushButton::clicked, this, &Frm_Tanim_Rehber::saveContact);
    connect(m_delete, &QPushButton::clicked, this, &Frm_Tanim_Rehber::deleteContact);
    connect(m_import, &QPushButton::clicked, this, &Frm_Tanim_Rehber::importContacts);
    connect(m_export, &QPushButton::clicked, this, &Frm_Tanim_Rehber::exportContacts);
    connect(m_cancel, &QPushButton::clicked, this, &Frm_Tanim_Rehber::closeWindow);
}

ContactListView *Frm_Tanim_Rehber::contactList(int list) const
{
    return list == 1 ? m_groupList : list == 2 ? m_allList : nullptr;
}

ContactTableModel *Frm_Tanim_Rehber::contactModel(int list) const
{
    return list == 1 ? m_groupModel : m_allModel;
}

// ---- Groups ----

void Frm_Tanim_Rehber::BuildGroupTree()
{
    m_tree->rebuild(m_session.snapshot().groups);
    fillGroupChoice();
    m_allSource = m_session.snapshot().contacts;
    m_allFilter.reset();
    {
        // Emptying the search box lists every contact of the new snapshot,
        // also when the box was empty already.
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    FilterAllContacts();
    ClearContactEditor();
}

void Frm_Tanim_Rehber::fillGroupChoice()
{
    // Each entry carries its group number, so that groups of the same name
    // stay apart.
    const QSignalBlocker quiet(m_groupChoice);
    m_groupChoice->clear();
    m_groupChoice->addItem(QString(), QString());
    for (int position = 2; position <= m_tree->nodeCount(); ++position) {
        const QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
        m_groupChoice->addItem(node->text(0), GroupTree::NodeGroupNo(node));
    }
}

void Frm_Tanim_Rehber::showMenu(const QPoint &globalPos)
{
    updateMenuItems();
    m_menu->popup(globalPos);
}

void Frm_Tanim_Rehber::updateMenuItems()
{
    // The root and the default group can only receive a new group.
    const bool group = GroupTree::NodePosition(m_tree->currentItem()) > 2;
    m_renameGroup->setEnabled(group);
    m_deleteGroup->setEnabled(group);
    m_menu->setDefaultAction(group ? m_renameGroup : m_newGroup);
}

void Frm_Tanim_Rehber::newGroup()
{
    if (busy())
        return;
    const QTreeWidgetItem *node = m_tree->currentItem();
    const QString parentNo = GroupTree::NodePosition(node) > 2 ? GroupTree::NodeGroupNo(node) : u"0"_s;
    QSet<QString> known;
    for (const ContactGroup &group : m_session.snapshot().groups)
        known.insert(group.Grup_No);

    const QString reply =
        runRequest([&] { return AddGroup(m_service, m_session.customerNo(), parentNo, kNewGroupName); });
    if (reply != u"1")
        return;
    if (!reloadAndRebuild()) {
        reportStaleLists();
        return;
    }
    // The new group's node (the last one, unless the numbers say otherwise)
    // opens for its name.
    QTreeWidgetItem *created = nullptr;
    for (int position = m_tree->nodeCount(); position >= 2 && !created; --position) {
        QTreeWidgetItem *candidate = m_tree->nodeAtPosition(position);
        if (!known.contains(GroupTree::NodeGroupNo(candidate)))
            created = candidate;
    }
    if (!created)
        created = m_tree->nodeAtPosition(m_tree->nodeCount());
    m_tree->setFocus();
    if (!m_tree->startRenaming(created))
        m_tree->setCurrentItem(created);
}

void Frm_Tanim_Rehber::startRename()
{
    m_tree->setFocus();
    m_tree->startRenaming(m_tree->currentItem());
}

void Frm_Tanim_Rehber::renameGroup(int position, const QString &groupNo, const QString &name)
{
    // The node still shows the stored name; it changes only when the service
    // took the new one. A node rebuilt meanwhile is left alone.
    QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
    if (busy() || !node || GroupTree::NodeGroupNo(node) != groupNo)
        return;
    if (name == node->text(0) || name.trimmed().isEmpty())
        return;
    if (HoldsStoreSeparator(name)) {
        MessageBox::show(this, StoreSeparatorMessage(u"Grup Adı"_s));
        return;
    }
    const QString reply = runRequest([&] { return RenameGroup(m_service, m_session.customerNo(), groupNo, name); });
    if (reply != u"1")
        return;
    node->setText(0, name);
    RenameGroupInSnapshot(m_session.editSnapshot(), groupNo, name);
    m_session.notifySnapshotEdited();
    for (int i = 1; i < m_groupChoice->count(); ++i) {
        if (m_groupChoice->itemData(i).toString() == groupNo)
            m_groupChoice->setItemText(i, name);
    }
}

void Frm_Tanim_Rehber::deleteGroup()
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    if (busy() || GroupTree::NodePosition(node) <= 2)
        return;
    // The group comes from the node itself, not from its place in the tree.
    const QString groupNo = GroupTree::NodeGroupNo(node);
    const QList<ContactGroup> &groups = m_session.snapshot().groups;
    const QStringList family = GroupFamilyNumbers(groups, groupNo);
    const QString upperNo = UpperGroupNo(groups, groupNo, family);
    const QString reply = runRequest(
        [&] { return DeleteGroups(m_service, m_session.customerNo(), family.join(u'|'), upperNo); });
    if (reply == u"1" && !reloadAndRebuild())
        reportStaleLists();
}

// ---- Contact lists ----

QString Frm_Tanim_Rehber::chosenNodeGroupNo() const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    return GroupTree::NodePosition(node) >= 2 ? GroupTree::NodeGroupNo(node) : u"0"_s;
}

void Frm_Tanim_Rehber::chooseGroupNode(const QString &groupNo)
{
    for (int position = 2; position <= m_tree->nodeCount(); ++position) {
        QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
        if (GroupTree::NodeGroupNo(node) == groupNo) {
            m_tree->setCurrentItem(node);
            m_tree->scrollToItem(node);
            FillGroupContacts();
            return;
        }
    }
}

void Frm_Tanim_Rehber::FillGroupContacts()
{
    const QString groupNo = chosenNodeGroupNo();
    // The contact list is shared with the snapshot, not copied.
    const QList<Contact> contacts = m_session.snapshot().contacts;
    if (groupNo == u"0") {
        m_groupModel->setContacts(contacts);
    } else {
        QList<int> rows;
        const qsizetype count = contacts.size();
        for (qsizetype i = 0; i < count; ++i) {
            if (contacts.at(i).Grup_No == groupNo)
                rows.append(int(i));
        }
        m_groupModel->setContacts(contacts, std::move(rows));
    }
    ClearContactEditor();
}

void Frm_Tanim_Rehber::FilterAllContacts()
{
    const QList<Contact> &contacts = m_session.snapshot().contacts;
    if (contacts.constData() != m_allSource.constData() || contacts.size() != m_allSource.size()) {
        m_allSource = contacts;
        m_allFilter.reset();
    }
    m_allModel->setContacts(m_allSource, m_allFilter.apply(m_allSource, nullptr, m_search->text()));
}

// ---- Contact editor ----

void Frm_Tanim_Rehber::setRecordNo(const QString &recordNo)
{
    m_recordNo = recordNo;
    UpdateEditorButtons();
}

void Frm_Tanim_Rehber::setGroupNo(const QString &groupNo)
{
    m_groupNo = groupNo;
    UpdateEditorButtons();
}

void Frm_Tanim_Rehber::groupChosen(int index)
{
    setGroupNo(index >= 1 ? m_groupChoice->itemData(index).toString() : QString());
}

void Frm_Tanim_Rehber::UpdateEditorButtons()
{
    const bool stored = LeadingNumber(m_recordNo) > 0;
    m_delete->setEnabled(stored);
    m_new->setEnabled(stored);
    m_save->setEnabled(!m_fields[kFirstName]->text().trimmed().isEmpty()
                       && !m_fields[kMobile]->text().trimmed().isEmpty() && LeadingNumber(m_groupNo) > 0);
}

void Frm_Tanim_Rehber::ClearContactEditor()
{
    {
        const QSignalBlocker quiet(m_groupChoice);
        m_groupChoice->setCurrentIndex(0);
    }
    m_groupNo.clear();
    m_recordNo.clear();
    for (GuardedLineEdit *field : m_fields)
        field->setText(QString());
    UpdateEditorButtons();
}

void Frm_Tanim_Rehber::ShowSelectedContact(int list)
{
    const ContactListView *view = contactList(list);
    const int row = view ? selectedRow(view) : -1;
    if (row < 0)
        return;
    const Contact &contact = contactModel(list)->contactAt(row);

    // The entry of the contact's own group, by number; none when the group
    // is gone, so that the contact is not saved into another one unseen.
    const int entry = contact.Grup_No.isEmpty() ? -1 : m_groupChoice->findData(contact.Grup_No);
    {
        const QSignalBlocker quiet(m_groupChoice);
        m_groupChoice->setCurrentIndex(entry >= 1 ? entry : 0);
    }
    m_groupNo = entry >= 1 ? contact.Grup_No : QString();

    const ContactValues values = ContactFieldValues(contact);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(values[i]);
    setRecordNo(contact.Adr_K_No);
}

void Frm_Tanim_Rehber::newContact()
{
    ClearContactEditor();
    m_fields[kFirstName]->setFocus();
}

void Frm_Tanim_Rehber::focusField(int index)
{
    GuardedLineEdit *field = m_fields[std::size_t(index)];
    field->setFocus();
    field->selectAll();
}

bool Frm_Tanim_Rehber::fieldsCanBeStored()
{
    // A pasted "|" would shift every later value of the contact; "<" and ">"
    // would break the rows of the next load.
    for (int i = 0; i < int(m_fields.size()); ++i) {
        if (HoldsStoreSeparator(m_fields[std::size_t(i)]->text())) {
            MessageBox::show(this, StoreSeparatorMessage(ContactFieldName(i)));
            focusField(i);
            return false;
        }
    }
    return true;
}

bool Frm_Tanim_Rehber::numbersAreValid()
{
    struct Check
    {
        int field;
        bool (*valid)(QStringView);
        QString message;
    };
    const Check checks[] = {
        {kMobile, IsMobileNumber, u"Lütfen Cep Telefon Numarasını [05xxxxxxxxx] Şeklinde Giriniz..."_s},
        {kFixed, IsFixedNumber, u"Lütfen Sabit Telefon Numarasını [0xxxxxxxxxx] Şeklinde Giriniz..."_s},
        {kFax, IsFixedNumber, u"Lütfen Fax Numarasını [0xxxxxxxxxx] Şeklinde Giriniz..."_s},
    };
    for (const Check &check : checks) {
        const QString number = m_fields[std::size_t(check.field)]->text();
        if (!number.isEmpty() && !check.valid(number)) {
            MessageBox::show(this, check.message);
            focusField(check.field);
            return false;
        }
    }
    return true;
}

void Frm_Tanim_Rehber::saveContact()
{
    if (busy() || !m_save->isEnabled() || !fieldsCanBeStored() || !numbersAreValid())
        return;
    ContactValues values;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        values[i] = m_fields[i]->text();
    const QString contactData = ContactData(m_groupNo, values);
    const QString recordNo = m_recordNo;

    // An update and an addition each report in their own words.
    const bool stored = LeadingNumber(recordNo) > 0;
    const QString reply = runRequest([&] {
        return stored ? UpdateContact(m_service, recordNo, contactData)
                      : AddContact(m_service, m_session.customerNo(), contactData);
    });
    if (reply != u"1") {
        MessageBox::show(this, stored ? u"Kayıt İşlemi Yapılamadı..!"_s : u"Güncelleme İşlemi Yapılamadı..!"_s);
        return;
    }
    const bool fresh = reloadAndRebuild();
    MessageBox::show(this, stored ? u"Kayıt İşlemi Tamamlandı."_s : u"Güncelleme İşlemi Tamamlandı."_s);
    if (!fresh)
        reportStaleLists();
    m_fields[kFirstName]->setFocus();
}

void Frm_Tanim_Rehber::deleteContact()
{
    const QString recordNo = m_recordNo;
    if (busy() || LeadingNumber(recordNo) <= 0)
        return;
    const QString reply = runRequest([&] { return DeleteContact(m_service, recordNo); });
    if (reply != u"1") {
        MessageBox::show(this, u"Silme İşlemi Tamamlanamadı..!"_s);
        return;
    }
    const bool fresh = reloadAndRebuild();
    MessageBox::show(this, u"Silme İşlemi Tamamlandı."_s);
    if (!fresh)
        reportStaleLists();
    m_fields[kFirstName]->setFocus();
}

// ---- Moving a contact ----

void Frm_Tanim_Rehber::moveContact(int position, const QString &groupNo)
{
    // The row moved is the selected one of the list that last had the focus
    // (the list the drag started from); the target is the group the node
    // holds. The root stands for no group.
    const ContactListView *source = contactList(m_activeList);
    const QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
    if (busy() || !source || position < 2 || !node || GroupTree::NodeGroupNo(node) != groupNo)
        return;
    const int row = selectedRow(source);
    if (row < 0)
        return;
    const QString recordNo = contactModel(m_activeList)->contactAt(row).Adr_K_No;
    if (!MessageBox::askYesNo(this, u"Kişi Taşı"_s, u"Taşıma İşlemi Yapılsınmı....?"_s))
        return;
    const QString reply = runRequest([&] { return MoveContact(m_service, recordNo, groupNo); });
    if (reply != u"1") {
        MessageBox::show(this, u"Taşıma İşlemi Yapılamadı..!"_s);
        return;
    }
    // The service changed nothing else: the snapshot is changed in place.
    MoveContactInSnapshot(m_session.editSnapshot(), recordNo, groupNo);
    m_session.notifySnapshotEdited();
    BuildGroupTree();
    FillGroupContacts();
    MessageBox::show(this, u"Taşıma İşlemi Tamamlandı."_s);
}

// ---- Import and export ----

namespace {

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// A group name as part of a file name: letters, digits, blanks and "-" kept.
QString fileNamePart(const QString &name)
{
    QString part;
    for (const QChar ch : name)
        part += ch.isLetterOrNumber() || ch == u' ' || ch == u'-' ? ch : u'-';
    return part.simplified();
}

} // namespace

void Frm_Tanim_Rehber::importContacts()
{
    if (busy())
        return;
    const QString path =
        FileDialog::getOpenFileName(this, u"İçe Aktarılacak Dosya"_s, documentsFolder(),
                                    u"Tablo dosyaları (*.csv *.txt *.tsv);;Tüm dosyalar (*)"_s);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageBox::show(this, u"Dosya okunamadı:\n%1\n\n%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    QList<GroupEntry> groups;
    for (int i = 1; i < m_groupChoice->count(); ++i)
        groups.append({m_groupChoice->itemText(i), m_groupChoice->itemData(i).toString()});
    auto *preview = new ImportPreviewDialog(bytes, QFileInfo(path).fileName(), groups, chosenNodeGroupNo(),
                                            m_session.snapshot().contacts, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::accepted, this, [this, preview] { runImport(preview->plan()); });
    preview->open();
}

void Frm_Tanim_Rehber::runImport(const ImportPlan &plan)
{
    if (busy())
        return;
    auto *import = new ContactImport(m_service, m_session, plan, this);
    m_importRunning = true;
    if (plan.newGroup && !makeImportGroup(*import)) {
        m_importRunning = false;
        delete import;
        return;
    }
    auto *progress = new ImportProgressDialog(*import, this);
    // The summary comes after the dialog has closed, from the window's own loop.
    connect(
        import, &ContactImport::finished, this,
        [this, import, progress] {
            finishImport(*import);
            progress->deleteLater();
            import->deleteLater();
        },
        Qt::QueuedConnection);
    progress->start();
}

bool Frm_Tanim_Rehber::makeImportGroup(ContactImport &import)
{
    using Result = ContactImport::GroupResult;
    const Result result = runRequest([&] { return import.makeGroup(); });
    if (result == Result::Refused) {
        MessageBox::show(this, u"Yeni grup oluşturulamadı..!"_s);
        return false;
    }
    // The window shows the phone book fetched again, or keeps what it shows
    // with the editor emptied.
    if (result == Result::NotReloaded) {
        ClearContactEditor();
    } else {
        BuildGroupTree();
        FillGroupContacts();
    }
    if (result == Result::Ready)
        return true;
    MessageBox::show(this, u"\"%1\" grubu oluşturuldu, ancak sunucudan geri okunamadığı için kişiler "
                           u"eklenmedi. Lütfen daha sonra bu gruba yeniden aktarınız."_s
                               .arg(import.plan().newGroupName));
    return false;
}

void Frm_Tanim_Rehber::finishImport(const ContactImport &import)
{
    const ImportSummary summary = import.summary();
    // One reload for the whole import, when anything may have been stored.
    bool fresh = true;
    if (summary.mayHaveStored) {
        fresh = reloadAndRebuild();
        if (fresh)
            chooseGroupNode(import.groupNo());
    }
    m_importRunning = false;

    if (!fresh)
        reportStaleLists();
    if (summary.notImported.isEmpty()) {
        MessageBox::show(this, summary.text);
        return;
    }
    if (!MessageBox::askYesNo(this, u"İçe Aktar"_s,
                              summary.text + u"\n\nEklenmeyen satırlar, düzeltip yeniden içe aktarmak üzere bir "
                                             u"dosyaya kaydedilsin mi?"_s))
        return;
    SaveCsvFile(this, u"Eklenmeyen Satırları Kaydet"_s, QDir(documentsFolder()).filePath(u"eklenmeyen-satirlar.csv"_s),
                import.notImportedTable(summary), u"Dosya kaydedilemedi"_s);
}

void Frm_Tanim_Rehber::exportContacts()
{
    if (busy())
        return;
    const QString groupNo = chosenNodeGroupNo();
    const QList<QStringList> table = ContactExportTable(m_session.snapshot(), groupNo);
    if (table.size() <= 1) {
        MessageBox::show(this, u"Seçilen grupta dışa aktarılacak kişi yok."_s);
        return;
    }
    const QString name = groupNo == u"0" ? u"rehber"_s : u"rehber-"_s + fileNamePart(m_tree->currentItem()->text(0));
    SaveCsvFile(this, u"Kişileri Dışa Aktar"_s, QDir(documentsFolder()).filePath(name + u".csv"_s), table,
                u"Dosya kaydedilemedi"_s);
}

// ---- The service and the window ----

bool Frm_Tanim_Rehber::reloadAndRebuild()
{
    if (runRequest([this] { return ReloadSnapshot(m_service, m_session); }) != RefreshResult::Loaded) {
        ClearContactEditor();
        return false;
    }
    BuildGroupTree();
    FillGroupContacts();
    return true;
}

void Frm_Tanim_Rehber::reportStaleLists()
{
    MessageBox::show(this, u"Rehberin güncel hâli sunucudan alınamadı; listeler son değişikliği "
                           u"göstermiyor olabilir."_s);
}

} // namespace velmor
