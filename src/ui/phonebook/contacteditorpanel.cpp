#include "ui/phonebook/contacteditorpanel.h"

#include "model/phonebook.h"
#include "model/session.h"
#include "service/service.h"
#include "text/number.h"
#include "text/phonenumber.h"
#include "text/storedtext.h"
#include "ui/common/controls.h"
#include "ui/common/guardedlineedit.h"
#include "ui/common/messagebox.h"
#include "ui/phonebook/phonebookcontext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// The captions of the fields (none for the second and third address line,
// which go by their names); names and typing limits are the contact
// fields' own.
constexpr std::array<const char16_t *, kContactFieldCount> kCaptions{
    u"Adı :", u"Soyadı :", u"Adres :", u"", u"", u"İlçe :", u"İl :", u"Cep Telefonu :", u"Sabit Telefon :", u"Fax :",
};
constexpr int kFirstName = FieldAdi;
constexpr int kMobile = FieldGsm;
constexpr int kFixed = FieldTel;
constexpr int kFax = FieldFax;

} // namespace

ContactEditorPanel::ContactEditorPanel(PhoneBookContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
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
        SelectAllOnMouseFocus(field);
        connect(field, &QLineEdit::textChanged, this, &ContactEditorPanel::updateButtons);
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
    m_commands = new QHBoxLayout;
    m_commands->addWidget(m_new);
    m_commands->addWidget(m_save);
    m_commands->addWidget(m_delete);
    m_commands->addStretch(1);
    auto *editorLayout = new QVBoxLayout(editor);
    editorLayout->addLayout(fields);
    editorLayout->addLayout(m_commands);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor);

    connect(m_groupChoice, &QComboBox::currentIndexChanged, this, &ContactEditorPanel::groupChosen);
    connect(m_new, &QPushButton::clicked, this, &ContactEditorPanel::newContactAsked);
    connect(m_save, &QPushButton::clicked, this, &ContactEditorPanel::saveContact);
    connect(m_delete, &QPushButton::clicked, this, &ContactEditorPanel::deleteContact);
}

void ContactEditorPanel::addCommand(QPushButton *button)
{
    m_commands->addWidget(button);
}

void ContactEditorPanel::setGroups(const QList<GroupEntry> &groups)
{
    // Each entry carries its group number, so that groups of the same name
    // stay apart.
    const QSignalBlocker quiet(m_groupChoice);
    m_groupChoice->clear();
    m_groupChoice->addItem(QString(), QString());
    for (const GroupEntry &group : groups)
        m_groupChoice->addItem(group.name, group.groupNo);
    chooseGroup(m_groupNo);
    updateButtons();
}

void ContactEditorPanel::chooseGroup(const QString &groupNo)
{
    const int entry = groupNo.isEmpty() ? -1 : m_groupChoice->findData(groupNo);
    {
        const QSignalBlocker quiet(m_groupChoice);
        m_groupChoice->setCurrentIndex(entry >= 1 ? entry : 0);
    }
    m_groupNo = entry >= 1 ? groupNo : QString();
}

void ContactEditorPanel::renameGroup(const QString &groupNo, const QString &name)
{
    for (int i = 1; i < m_groupChoice->count(); ++i) {
        if (m_groupChoice->itemData(i).toString() == groupNo)
            m_groupChoice->setItemText(i, name);
    }
}

void ContactEditorPanel::groupChosen(int index)
{
    m_groupNo = index >= 1 ? m_groupChoice->itemData(index).toString() : QString();
    updateButtons();
}

void ContactEditorPanel::updateButtons()
{
    const bool stored = LeadingNumber(m_recordNo) > 0;
    m_delete->setEnabled(stored);
    m_new->setEnabled(stored);
    m_save->setEnabled(!m_fields[kFirstName]->text().trimmed().isEmpty()
                       && !m_fields[kMobile]->text().trimmed().isEmpty() && LeadingNumber(m_groupNo) > 0);
}

void ContactEditorPanel::clear()
{
    {
        const QSignalBlocker quiet(m_groupChoice);
        m_groupChoice->setCurrentIndex(0);
    }
    m_groupNo.clear();
    m_recordNo.clear();
    for (GuardedLineEdit *field : m_fields)
        field->setText(QString());
    updateButtons();
    markClean();
}

ContactValues ContactEditorPanel::fieldValues() const
{
    ContactValues values;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        values[i] = m_fields[i]->text();
    return values;
}

void ContactEditorPanel::markClean()
{
    m_loadedValues = fieldValues();
    m_loadedGroupNo = m_groupNo;
}

bool ContactEditorPanel::hasUnsavedChanges() const
{
    return m_groupNo != m_loadedGroupNo || fieldValues() != m_loadedValues;
}

void ContactEditorPanel::putBack(const QString &recordNo, const QString &groupNo, const ContactValues &values)
{
    if (recordNo.isEmpty())
        clear();
    chooseGroup(groupNo);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(values[i]);
    updateButtons();
}

void ContactEditorPanel::followMove(const QString &recordNo, const QString &groupNo)
{
    if (recordNo.isEmpty() || recordNo != m_recordNo)
        return;
    // The stored contact is in that group now; what the user typed stays.
    chooseGroup(groupNo);
    m_loadedGroupNo = m_groupNo;
    updateButtons();
}

void ContactEditorPanel::showContact(const Contact &contact)
{
    // The entry of the contact's own group, by number; none when the group
    // is gone, so that the contact is not saved into another one unseen.
    chooseGroup(contact.Grup_No);

    const ContactValues values = ContactFieldValues(contact);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(values[i]);
    m_recordNo = contact.Adr_K_No;
    updateButtons();
    markClean();
}

void ContactEditorPanel::newContact()
{
    clear();
    m_fields[kFirstName]->setFocus();
}

void ContactEditorPanel::focusField(int index)
{
    GuardedLineEdit *field = m_fields[std::size_t(index)];
    field->setFocus();
    field->selectAll();
}

bool ContactEditorPanel::fieldsCanBeStored()
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

bool ContactEditorPanel::numbersAreValid()
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

void ContactEditorPanel::saveContact()
{
    if (m_context.busy() || !m_save->isEnabled() || !fieldsCanBeStored() || !numbersAreValid())
        return;
    const ContactValues values = fieldValues();
    const QString groupNo = m_groupNo;
    const QString contactData = ContactData(groupNo, values);
    const QString recordNo = m_recordNo;

    // An update and an addition each report in their own words.
    const bool stored = LeadingNumber(recordNo) > 0;
    const ChangeOutcome outcome = m_context.change([&] {
        return stored ? UpdateContact(m_context.service(), recordNo, contactData)
                      : AddContact(m_context.service(), m_context.session().customerNo(), contactData);
    });
    if (outcome == ChangeOutcome::Refused) {
        MessageBox::show(this, stored ? u"Kayıt İşlemi Yapılamadı..!"_s : u"Güncelleme İşlemi Yapılamadı..!"_s);
        return;
    }
    // The values may be stored now: the rebuild that follows does not keep
    // them as unsaved changes, so that they are never sent twice unseen.
    markClean();
    if (outcome == ChangeOutcome::Unknown) {
        settleUnknownSave(stored ? recordNo : QString(), groupNo, values);
        return;
    }
    reloadAndTell(stored ? u"Kayıt İşlemi Tamamlandı."_s : u"Güncelleme İşlemi Tamamlandı."_s);
}

void ContactEditorPanel::settleUnknownSave(const QString &recordNo, const QString &groupNo,
                                           const ContactValues &values)
{
    const Session &session = m_context.session();
    // An addition shows as one more contact holding these values.
    const qsizetype equalBefore =
        recordNo.isEmpty() ? FindEqualContacts(session.snapshot().contacts, groupNo, values).count : 0;
    m_context.settleUnknown(this, u"Kaydın"_s, [&] {
        const ContactList &contacts = session.snapshot().contacts;
        if (recordNo.isEmpty()) {
            const EqualContacts equal = FindEqualContacts(contacts, groupNo, values);
            if (equal.count > equalBefore) {
                m_context.showContact(contacts.at(equal.lastRow).Adr_K_No().toString());
                return u"Kişi kaydedilmiş; bilgileri gösteriliyor."_s;
            }
            putBack({}, groupNo, values);
            return u"Kişi kaydedilmemiş; bilgilerini yeniden kaydedebilirsiniz."_s;
        }
        const qsizetype row = FindContactRow(contacts, recordNo);
        if (row < 0) {
            putBack({}, groupNo, values);
            return u"Kişi rehberde yok; bilgilerini yeni kişi olarak kaydedebilirsiniz."_s;
        }
        m_context.showContact(recordNo);
        if (ContactHolds(contacts.at(row), groupNo, values))
            return u"Değişiklikler kaydedilmiş."_s;
        putBack(recordNo, groupNo, values);
        return u"Değişiklikler kaydedilmemiş; yeniden kaydedebilirsiniz."_s;
    });
    m_fields[kFirstName]->setFocus();
}

void ContactEditorPanel::deleteContact()
{
    const QString recordNo = m_recordNo;
    if (m_context.busy() || LeadingNumber(recordNo) <= 0)
        return;
    const ChangeOutcome outcome = m_context.change([&] { return DeleteContact(m_context.service(), recordNo); });
    if (outcome == ChangeOutcome::Refused) {
        MessageBox::show(this, u"Silme İşlemi Tamamlanamadı..!"_s);
        return;
    }
    markClean();
    if (outcome == ChangeOutcome::Done) {
        reloadAndTell(u"Silme İşlemi Tamamlandı."_s);
        return;
    }
    m_context.settleUnknown(this, u"Silme işleminin"_s, [&] {
        if (FindContactRow(m_context.session().snapshot().contacts, recordNo) < 0)
            return u"Kişi silinmiş."_s;
        m_context.showContact(recordNo);
        return u"Kişi silinmemiş."_s;
    });
}

void ContactEditorPanel::reloadAndTell(const QString &doneMessage)
{
    const bool fresh = m_context.reload();
    MessageBox::show(this, doneMessage);
    if (!fresh)
        ReportStaleLists(this);
    m_fields[kFirstName]->setFocus();
}

} // namespace velmor
