#include "ui/phonebook/contactlistspanel.h"

#include "model/session.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/controls.h"
#include "ui/common/listview.h"
#include "ui/phonebook/phonebookcontext.h"
#include "ui/phonebook/phonebookwidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

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

} // namespace

ContactListsPanel::ContactListsPanel(PhoneBookContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    m_groupModel = new ContactTableModel(this);
    m_groupModel->setObjectName(u"groupContactsModel"_s);
    m_allModel = new ContactTableModel(this);
    m_allModel->setObjectName(u"allContactsModel"_s);
    m_allModel->setAddressCaptions(ContactTableModel::AddressCaptions::Plain);

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
    SelectAllOnMouseFocus(m_search);
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

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(groupContacts, 2);
    layout->addWidget(allContacts, 5);

    connect(m_search, &QLineEdit::textChanged, this, &ContactListsPanel::filter);
    for (const int list : {1, 2}) {
        ContactListView *listView = view(list);
        connect(listView, &ContactListView::focusReceived, this, [this, list] { m_activeList = list; });
        connect(listView, &QAbstractItemView::clicked, this, [this, list] { emit contactChosen(list); });
        connect(listView, &ContactListView::rowChosenByKey, this, [this, list] { emit contactChosen(list); });
    }
}

ContactListView *ContactListsPanel::view(int list) const
{
    return list == 1 ? m_groupList : list == 2 ? m_allList : nullptr;
}

ContactTableModel *ContactListsPanel::model(int list) const
{
    return list == 1 ? m_groupModel : m_allModel;
}

std::optional<Contact> ContactListsPanel::selectedContact(int list) const
{
    const ContactListView *listView = view(list);
    if (!listView)
        return std::nullopt;
    const QModelIndexList rows = listView->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return model(list)->contactAt(rows.constFirst().row());
}

void ContactListsPanel::restoreSelection(int list)
{
    if (ContactListView *listView = view(list))
        listView->restoreCurrent();
}

std::optional<Contact> ContactListsPanel::chooseContact(const QString &recordNo)
{
    const int row = m_allModel->findRecord(recordNo);
    if (row < 0)
        return std::nullopt;
    const QModelIndex index = m_allModel->index(row, ContactTableModel::Adr_Adi);
    m_allList->setCurrentIndex(index);
    m_allList->scrollTo(index);
    return m_allModel->contactAt(row);
}

void ContactListsPanel::showAll()
{
    m_allSource = m_context.session().snapshot().contacts;
    m_allFilter.reset();
    {
        // Emptying the search box lists every contact of the new snapshot,
        // also when the box was empty already.
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    filter();
}

void ContactListsPanel::filter()
{
    const ContactList &contacts = m_context.session().snapshot().contacts;
    if (!contacts.isSharedWith(m_allSource)) {
        m_allSource = contacts;
        m_allFilter.reset();
    }
    m_allModel->setContacts(m_allSource, m_allFilter.apply(m_allSource, nullptr, m_search->text()));
}

void ContactListsPanel::showGroup(const QString &groupNo)
{
    // The contact list is shared with the snapshot, not copied.
    const ContactList contacts = m_context.session().snapshot().contacts;
    if (groupNo == u"0") {
        m_groupModel->setContacts(contacts);
        return;
    }
    QList<int> rows;
    const qsizetype count = contacts.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (contacts.at(i).Grup_No() == groupNo)
            rows.append(int(i));
    }
    m_groupModel->setContacts(contacts, std::move(rows));
}

} // namespace velmor
