#pragma once

#include "model/phonebook.h"
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
// Knows whether it holds changes the user has not saved: fields or group
// other than those loaded (or than an empty new contact).
class ContactEditorPanel : public QWidget
{
    Q_OBJECT

public:
    ContactEditorPanel(PhoneBookContext &context, QWidget *parent = nullptr);

    // The group choice: an empty entry, then the groups as given; the group
    // chosen stays chosen while it is among them.
    void setGroups(const QList<GroupEntry> &groups);
    // The entries of that group now show the name.
    void renameGroup(const QString &groupNo, const QString &name);

    // A new contact: no group chosen, every field empty.
    void clear();
    // Loads the contact, with its group chosen when the group still exists.
    void showContact(const Contact &contact);
    // "Yeni Kişi": a new contact, the focus in its first field.
    void newContact();
    // The contact of that record number was moved into the group on the
    // service: the editor, when it shows it, follows.
    void followMove(const QString &recordNo, const QString &groupNo);

    // Fields or group differ from what was loaded (or from a new contact).
    bool hasUnsavedChanges() const;
    // "Sil" and "Yeni Kişi" for a stored contact; "Kaydet" once there are a
    // first name, a mobile number and a group.
    void updateButtons();

    // The record number of the contact shown; empty for a new one.
    const QString &recordNo() const { return m_recordNo; }
    // The group number chosen for it; empty when none is.
    const QString &groupNo() const { return m_groupNo; }

    // Puts a command of the window's at the right end of the editor's row.
    void addCommand(QPushButton *button);

signals:
    // "Yeni Kişi" was pressed; the window decides whether the editor clears.
    void newContactAsked();

private:
    void groupChosen(int index);
    // Chooses the entry of the group; none when the group has no entry.
    void chooseGroup(const QString &groupNo);
    ContactValues fieldValues() const;
    // What the editor now holds counts as loaded: nothing unsaved.
    void markClean();
    // Puts values back into the editor as unsaved changes of that contact
    // (an empty record number: a new one).
    void putBack(const QString &recordNo, const QString &groupNo, const ContactValues &values);
    void saveContact();
    // A save whose reply was lost: the phone book fetched again, and the
    // contact shown as it now stands, or the values kept to save again.
    void settleUnknownSave(const QString &recordNo, const QString &groupNo, const ContactValues &values);
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
    // What was loaded, to tell unsaved changes by.
    ContactValues m_loadedValues;
    QString m_loadedGroupNo;
};

} // namespace velmor
