#pragma once

#include "model/snapshot.h"
#include "ui/phonebook/groupentry.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <array>

class QComboBox;
class QHBoxLayout;
class QPushButton;

namespace velmor {

class GuardedLineEdit;
class PhoneBookContext;

// "Kişi Bilgileri": the ten fields of a contact, its group, and "Yeni Kişi",
// "Kaydet" and "Sil". Saves (adds or updates) and deletes on the service
// after the editor's checks; the window adds its own commands to the row.
class ContactEditorPanel : public QWidget
{
    Q_OBJECT

public:
    ContactEditorPanel(PhoneBookContext &context, QWidget *parent = nullptr);

    // The group choice: an empty entry, then the groups as given.
    void setGroups(const QList<GroupEntry> &groups);
    // The entries of that group now show the name.
    void renameGroup(const QString &groupNo, const QString &name);

    // A new contact: no group chosen, every field empty.
    void clear();
    // Loads the contact, with its group chosen when the group still exists.
    void showContact(const Contact &contact);
    // "Sil" and "Yeni Kişi" for a stored contact; "Kaydet" once there are a
    // first name, a mobile number and a group.
    void updateButtons();

    // The record number of the contact shown; empty for a new one.
    const QString &recordNo() const { return m_recordNo; }
    // The group number chosen for it; empty when none is.
    const QString &groupNo() const { return m_groupNo; }

    // Puts a command of the window's at the right end of the editor's row.
    void addCommand(QPushButton *button);

private:
    void groupChosen(int index);
    void newContact();
    void saveContact();
    void deleteContact();
    bool fieldsCanBeStored();
    bool numbersAreValid();
    void focusField(int index);
    // After a change the service carried out: the window rebuilt from the
    // snapshot fetched again, the change told, the editor ready for the next.
    void reloadAndTell(const QString &doneMessage);

    PhoneBookContext &m_context;
    std::array<GuardedLineEdit *, 10> m_fields{}; // text1_0 .. text1_9
    QComboBox *m_groupChoice = nullptr;           // Combo1
    QPushButton *m_new = nullptr;                 // Cmd_Yeni
    QPushButton *m_save = nullptr;                // Cmd_Kaydet
    QPushButton *m_delete = nullptr;              // Cmd_Sil
    QHBoxLayout *m_commands = nullptr;

    QString m_recordNo; // Label2(0)
    QString m_groupNo;  // Label2(1)
};

} // namespace velmor
