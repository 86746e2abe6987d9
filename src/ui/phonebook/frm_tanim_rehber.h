#pragma once

#include "ui/common/childwindow.h"

#include <QString>

class QPushButton;

namespace velmor {

class ContactEditorPanel;
class ContactImport;
class ContactListsPanel;
class GroupPanel;
class PhoneBookContext;
class Service;
class Session;
struct ImportPlan;

// The phone book window: the group tree with its pop-up menu, the contacts
// of the chosen group, every contact narrowed by a search, and the contact
// editor, each a panel of its own; the window wires them and runs the
// import and export dialogs. Groups and contacts are changed on the
// service; after each change the snapshot is fetched again and the window
// rebuilt from it, except a group rename and a contact move, which change
// the snapshot in place. Nothing the user typed into the editor and did not
// save is dropped unasked: a rebuild keeps it, and whatever would discard it
// (another contact or node chosen, "Yeni Kişi", closing) asks first.
class Frm_Tanim_Rehber : public ChildWindow
{
    Q_OBJECT

public:
    Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Tanim_Rehber() override;

    // Rebuilds the tree and the group choice from the snapshot, ends with the
    // root chosen, lists every contact under the search (emptied) and clears
    // the editor unless it holds unsaved changes.
    void BuildGroupTree();
    // Lists the contacts of the chosen node ("Tümü": all of them; a group:
    // its own contacts, not those of its sub-groups) and clears the editor
    // unless it holds unsaved changes.
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
    const QString &recordNo() const;
    // The group number chosen for it; empty when none is.
    const QString &chosenGroupNo() const;
    // The contact list that last had the focus: 1, 2, or 0 before either had.
    int activeContactList() const;

    QSize sizeHint() const override;

protected:
    bool refusesToClose() const override { return busy(); }
    // "Vazgeç" and the close box: unsaved changes in the editor are dropped only after asking.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    bool busy() const;
    // True when nothing unsaved is in the editor, or the user agrees to drop it.
    bool mayDiscardEdits();
    // Empties the editor unless it holds unsaved changes.
    void settleEditor();
    // A node, a row, or "Yeni Kişi" chosen by the user: after asking when
    // the editor holds unsaved changes; "No" puts the choice back.
    void groupChosenByUser();
    void contactChosenByUser(int list);
    void newContactAsked();
    // Chooses the contact's row in "Tüm Kişiler" and, unless the editor
    // holds unsaved changes, loads it.
    void showStoredContact(const QString &recordNo);
    // A contact row dropped on a group node: the selected row of the list
    // that last had the focus (the list the drag started from) moves.
    void moveDroppedContact(int position, const QString &groupNo);

    // "İçe Aktar…": a file read and previewed, its accepted rows sent one
    // command each with a progress that can be stopped, one reload at the
    // end, and a summary whose rows that did not go in can be saved.
    void importContacts();
    void runImport(const ImportPlan &plan);
    bool makeImportGroup(ContactImport &import);
    void finishImport(const ContactImport &import);
    // "Dışa Aktar…": the chosen group's contacts (the root: all) as a CSV file.
    void exportContacts();

    PhoneBookContext *m_context = nullptr;
    GroupPanel *m_groups = nullptr;
    ContactListsPanel *m_lists = nullptr;
    ContactEditorPanel *m_editor = nullptr;
    QPushButton *m_cancel = nullptr; // Cmd_Vazgec
    QPushButton *m_import = nullptr; // Cmd_IceAktar
    QPushButton *m_export = nullptr; // Cmd_DisaAktar
};

} // namespace velmor
