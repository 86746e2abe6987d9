#include "ui/send/recipientpicker.h"

#include "model/sendrules.h"
#include "model/session.h"
#include "text/numberlist.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/controls.h"
#include "ui/common/grouptree.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/send/sendwidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace velmor {

namespace {

// At most this many refused entries are listed in a message.
constexpr qsizetype kListedRefusals = 20;

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

void selectFirstRow(QTreeView *view)
{
    const QModelIndex first = view->model()->index(0, ContactTableModel::Adr_Adi);
    view->selectionModel()->setCurrentIndex(first,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(first);
}

// The selected rows of a list, ascending: one pass over the selection
// ranges, then one over the rows, with no per-row selection query.
QList<int> selectedRows(const QTreeView *view)
{
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

} // namespace

RecipientPicker::RecipientPicker(const Session &session, QWidget *parent) : QWidget(parent), m_session(session)
{
    buildControls();
    PrepareListView(false, m_groupList, kStripeColour);
    PrepareListView(false, m_recipientList, kStripeColour);
}

void RecipientPicker::buildControls()
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
    m_recipientCount = FigureLabel(QStringLiteral("Label2_0"), recipients);
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

    // The list commands, placed by the window.
    m_listCommands = new QWidget(this);
    m_add = NamedButton(QStringLiteral("Listeye Ekle"), QStringLiteral("Cmd_Lst_Ekle"), m_listCommands);
    m_remove = NamedButton(QStringLiteral("Listeden Çıkar"), QStringLiteral("Cmd_Lst_Cikar"), m_listCommands);
    auto *commandsLayout = new QHBoxLayout(m_listCommands);
    commandsLayout->setContentsMargins(0, 0, 0, 0);
    commandsLayout->addWidget(m_add);
    commandsLayout->addWidget(m_remove);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(groups, 2);
    layout->addWidget(groupContacts, 3);
    layout->addWidget(recipients, 3);

    showNameColumns(m_groupList);
    showNameColumns(m_recipientList);

    connect(m_groupTree, &QTreeWidget::itemClicked, this, &RecipientPicker::ShowGroupContacts);
    connect(m_groupTree, &GroupTree::nodeChosenByKey, this, &RecipientPicker::ShowGroupContacts);
    connect(m_search, &QLineEdit::textChanged, this, &RecipientPicker::FilterGroupContacts);
    connect(m_add, &QPushButton::clicked, this, &RecipientPicker::AddRecipients);
    connect(m_groupList, &QAbstractItemView::doubleClicked, this, &RecipientPicker::AddRecipients);
    connect(m_remove, &QPushButton::clicked, this, &RecipientPicker::RemoveRecipients);
    connect(m_recipientList, &QAbstractItemView::doubleClicked, this, &RecipientPicker::RemoveRecipients);
    connect(m_selectAll, &QPushButton::clicked, this, &RecipientPicker::selectAllCandidates);
    connect(m_selectNone, &QPushButton::clicked, this, &RecipientPicker::clearCandidateSelection);
    connect(m_addNumber, &QLineEdit::returnPressed, this, &RecipientPicker::AddNumbers);
    connect(m_addNumberButton, &QPushButton::clicked, this, &RecipientPicker::AddNumbers);
    connect(m_addNumber, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_addNumberButton->setEnabled(!text.trimmed().isEmpty()); });
}

void RecipientPicker::FillGroupTree()
{
    m_groupTree->BuildGroupTree(m_session.snapshot().groups);
    m_recipients.clear();
    showRecipients();
    ShowGroupContacts();
}

void RecipientPicker::ShowGroupContacts()
{
    // The contact list is shared with the snapshot, not copied.
    m_source = m_session.snapshot().contacts;

    const QString chosenGroup = GroupTree::NodeGroupNo(m_groupTree->currentItem());
    const bool everyGroup = chosenGroup == u"0";
    const bool anyChosen = m_recipients.anyChosen();

    m_filter.reset();
    m_candidates.clear();
    m_candidates.reserve(everyGroup ? m_source.size() : 0);
    const qsizetype count = m_source.size();
    QString key; // one buffer for every contact's key
    for (qsizetype i = 0; i < count; ++i) {
        const ContactRef contact = m_source.at(i);
        if (!everyGroup && contact.Grup_No() != chosenGroup)
            continue;
        if (anyChosen) {
            WriteMarkKey(contact.Adr_K_No(), key);
            if (m_recipients.isChosen(key))
                continue;
        }
        m_candidates.append(int(i));
    }
    FilterGroupContacts();
    updateRecipientCount();
}

void RecipientPicker::updateRecipientCount()
{
    const qsizetype withoutNumber = m_recipients.size() - m_recipients.reachableCount();
    m_withoutNumber->setText(QStringLiteral("(%1 kişinin numarası yok)").arg(withoutNumber));
    m_withoutNumber->setVisible(withoutNumber > 0);
    m_recipientCount->setText(QString::number(m_recipients.size()));
    emit recipientsChanged();
}

void RecipientPicker::FilterGroupContacts()
{
    m_groupModel->setContacts(m_source, m_filter.apply(m_source, &m_candidates, m_search->text()));
    updateButtons();
}

void RecipientPicker::updateButtons()
{
    const bool candidates = m_groupModel->rowCount() > 0;
    m_add->setEnabled(candidates);
    m_selectAll->setEnabled(candidates);
    m_selectNone->setEnabled(candidates);
    m_remove->setEnabled(!m_recipients.isEmpty());
}

void RecipientPicker::showRecipients()
{
    m_recipientModel->setContacts(m_recipients.contacts());
}

void RecipientPicker::AddRecipients()
{
    const QList<int> rows = selectedRows(m_groupList);
    QList<Contact> chosen;
    chosen.reserve(rows.size());
    for (const int row : rows)
        chosen.append(m_groupModel->contactAt(row));
    if (m_recipients.addContacts(chosen))
        showRecipients();
    ShowGroupContacts();
    if (m_groupModel->rowCount() > 0)
        selectFirstRow(m_groupList);
    m_groupList->setFocus();
}

void RecipientPicker::RemoveRecipients()
{
    const QList<int> rows = selectedRows(m_recipientList);
    if (!rows.isEmpty()) {
        m_recipients.removeAt(rows);
        showRecipients();
    }
    ShowGroupContacts();
    if (!m_recipients.isEmpty())
        selectFirstRow(m_recipientList);
    m_recipientList->setFocus();
}

void RecipientPicker::AddNumbers()
{
    const MobileNumberList read = ReadMobileNumbers(m_addNumber->text());
    const qsizetype before = m_recipients.size();
    const qsizetype repeated = m_recipients.addNumbers(read.numbers);
    if (m_recipients.size() != before)
        showRecipients();
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

void RecipientPicker::selectAllCandidates()
{
    m_groupList->selectAll();
    m_groupList->setFocus();
}

void RecipientPicker::clearCandidateSelection()
{
    m_groupList->clearSelection();
    m_groupList->setFocus();
}

} // namespace velmor
