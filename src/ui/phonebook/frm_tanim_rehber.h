#pragma once

#include "ui/common/childwindow.h"

#include "model/snapshot.h"

#include <QString>

#include <array>

class QAction;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QMenu;
class QPushButton;

namespace velmor {

class ContactImport;
class ContactListView;
struct ImportPlan;
class ContactTableModel;
class GuardedLineEdit;
class PhoneBookTree;
class Service;
class Session;

// The phone book window: the group tree with its pop-up menu, the contacts
// of the chosen group, every contact narrowed by a search, and the contact
// editor. Groups and contacts are changed on the service; after each change
// the snapshot is fetched again and the window rebuilt from it, except a
// group rename and a contact move, which change the snapshot in place.
class Frm_Tanim_Rehber : public ChildWindow
{
    Q_OBJECT

public:
    Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Tanim_Rehber() override;

    // Rebuilds the tree and the group choice from the snapshot, ends with the
    // root chosen, lists every contact under the search (emptied) and clears
    // the editor.
    void BuildGroupTree();
    // Lists the contacts of the chosen node ("Tümü": all of them; a group:
    // its own contacts, not those of its sub-groups) and clears the editor.
    void FillGroupContacts();
    // Lists the contacts that match the search box.
    void FilterAllContacts();
    // A new contact: no group chosen, every field empty.
    void ClearContactEditor();
    // Loads the selected row of list 1 (the chosen group's) or 2 (all) into the editor.
    void ShowSelectedContact(int list);
    // "Sil" and "Yeni Kişi" for a stored contact; "Kaydet" once there are a
    // first name, a mobile number and a group.
    void UpdateEditorButtons();

    // The record number of the contact in the editor; empty for a new one.
    const QString &recordNo() const { return m_recordNo; }
    // The group number chosen for it; empty when none is.
    const QString &chosenGroupNo() const { return m_groupNo; }
    // The contact list that last had the focus: 1, 2, or 0 before either had.
    int activeContactList() const { return m_activeList; }

    QSize sizeHint() const override;

protected:
    bool refusesToClose() const override { return busy(); }

private:
    void buildControls();
    void setRecordNo(const QString &recordNo);
    void setGroupNo(const QString &groupNo);
    void groupChosen(int index);
    void fillGroupChoice();

    void showMenu(const QPoint &globalPos);
    void updateMenuItems();
    void newGroup();
    void startRename();
    void renameGroup(int position, const QString &groupNo, const QString &name);
    void deleteGroup();
    void moveContact(int position, const QString &groupNo);

    // "İçe Aktar…": a file read and previewed, its accepted rows sent one
    // command each with a progress that can be stopped, one reload at the
    // end, and a summary whose rows that did not go in can be saved.
    void importContacts();
    void runImport(const ImportPlan &plan);
    bool makeImportGroup(ContactImport &import);
    void finishImport(const ContactImport &import);
    // "Dışa Aktar…": the chosen group's contacts (the root: all) as a CSV file.
    void exportContacts();
    // The group chosen in the tree; "0" for the root.
    QString chosenNodeGroupNo() const;
    void chooseGroupNode(const QString &groupNo);
    bool busy() const { return isRequestRunning() || m_importRunning; }

    void newContact();
    void saveContact();
    void deleteContact();
    bool fieldsCanBeStored();
    bool numbersAreValid();
    void focusField(int index);

    // After a change the service carried out: fetches the snapshot again and
    // rebuilds the window from it. When the fetch fails the window keeps what
    // it shows, empties the editor (so that the change cannot be sent twice)
    // and says that the lists could not be refreshed.
    bool reloadAndRebuild();
    void reportStaleLists();

    ContactListView *contactList(int list) const;
    ContactTableModel *contactModel(int list) const;

    const Service &m_service;
    Session &m_session;

    PhoneBookTree *m_tree = nullptr;         // TreeView1
    QMenu *m_menu = nullptr;                 // A_M
    QAction *m_newGroup = nullptr;           // A_M1
    QAction *m_renameGroup = nullptr;        // A_M2
    QAction *m_deleteGroup = nullptr;        // A_M3
    ContactListView *m_groupList = nullptr;  // ListView1
    QLineEdit *m_search = nullptr;           // Text2
    ContactListView *m_allList = nullptr;    // ListView2
    std::array<GuardedLineEdit *, 10> m_fields{}; // text1_0 .. text1_9
    QComboBox *m_groupChoice = nullptr;      // Combo1
    QPushButton *m_new = nullptr;            // Cmd_Yeni
    QPushButton *m_save = nullptr;           // Cmd_Kaydet
    QPushButton *m_delete = nullptr;         // Cmd_Sil
    QPushButton *m_cancel = nullptr;         // Cmd_Vazgec
    QPushButton *m_import = nullptr;         // Cmd_IceAktar
    QPushButton *m_export = nullptr;         // Cmd_DisaAktar
    QHBoxLayout *m_commands = nullptr;       // the editor's command row, with room for more

    ContactTableModel *m_groupModel = nullptr;
    ContactTableModel *m_allModel = nullptr;
    // The contact list "Tüm Kişiler" searches, shared with the snapshot it
    // came from, and the rows the search left.
    QList<Contact> m_allSource;
    ContactFilter m_allFilter;

    QString m_recordNo; // Label2(0)
    QString m_groupNo;  // Label2(1)
    int m_activeList = 0;
    bool m_importRunning = false; // from the preview's "Aktar" to the summary
};

} // namespace velmor
