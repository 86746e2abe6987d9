#include "ui/phonebook/frm_tanim_rehber.h"

#include "model/contactimport.h"
#include "model/session.h"
#include "ui/common/controls.h"
#include "ui/common/filedialog.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/phonebook/contacteditorpanel.h"
#include "ui/phonebook/contactlistspanel.h"
#include "ui/phonebook/grouppanel.h"
#include "ui/phonebook/importpreviewdialog.h"
#include "ui/phonebook/importprogressdialog.h"
#include "ui/phonebook/phonebookcontext.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace velmor {

Frm_Tanim_Rehber::Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent) : ChildWindow(parent)
{
    setObjectName(u"Frm_Tanim_Rehber"_s);
    setWindowTitle(u"Grup ve Kişi Tanımları"_s);
    m_context = new PhoneBookContext(
        service, session, [this](const std::function<void()> &exchange) { runRequest(exchange); }, this);
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
    m_groups = new GroupPanel(*m_context, this);
    m_lists = new ContactListsPanel(*m_context, this);
    m_editor = new ContactEditorPanel(*m_context, this);
    m_import = NamedButton(u"İçe Aktar…"_s, u"Cmd_IceAktar"_s, m_editor);
    m_export = NamedButton(u"Dışa Aktar…"_s, u"Cmd_DisaAktar"_s, m_editor);
    m_cancel = NamedButton(u"Vazgeç"_s, u"Cmd_Vazgec"_s, m_editor);
    for (QPushButton *command : {m_import, m_export, m_cancel})
        m_editor->addCommand(command);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_groups, 0, 0);
    layout->addWidget(m_lists, 0, 1);
    layout->addWidget(m_editor, 1, 0, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 7);
    layout->setRowStretch(0, 1);

    connect(m_context, &PhoneBookContext::rebuildWanted, this, [this] {
        BuildGroupTree();
        FillGroupContacts();
    });
    // A failed reload empties an editor whose change was sent, so that it
    // cannot be sent twice; unsaved input stays.
    connect(m_context, &PhoneBookContext::reloadFailed, this, &Frm_Tanim_Rehber::settleEditor);
    connect(m_context, &PhoneBookContext::contactToShow, this, &Frm_Tanim_Rehber::showStoredContact);
    connect(m_groups, &GroupPanel::groupChosen, this, &Frm_Tanim_Rehber::groupChosenByUser);
    connect(m_groups, &GroupPanel::groupRenamed, m_editor, &ContactEditorPanel::renameGroup);
    connect(m_groups, &GroupPanel::contactDropped, this, &Frm_Tanim_Rehber::moveDroppedContact);
    connect(m_groups, &GroupPanel::contactMoved, m_editor, &ContactEditorPanel::followMove);
    connect(m_lists, &ContactListsPanel::contactChosen, this, &Frm_Tanim_Rehber::contactChosenByUser);
    connect(m_editor, &ContactEditorPanel::newContactAsked, this, &Frm_Tanim_Rehber::newContactAsked);
    connect(m_import, &QPushButton::clicked, this, &Frm_Tanim_Rehber::importContacts);
    connect(m_export, &QPushButton::clicked, this, &Frm_Tanim_Rehber::exportContacts);
    connect(m_cancel, &QPushButton::clicked, this, &Frm_Tanim_Rehber::closeWindow);
}

bool Frm_Tanim_Rehber::busy() const
{
    return m_context->busy();
}

void Frm_Tanim_Rehber::closeEvent(QCloseEvent *event)
{
    if (!refusesToClose() && !mayDiscardEdits()) {
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}

bool Frm_Tanim_Rehber::mayDiscardEdits()
{
    return !m_editor->hasUnsavedChanges()
        || MessageBox::askYesNo(this, u"Kişi Bilgileri"_s,
                                u"Kişi bilgilerinde kaydedilmemiş değişiklikler var. Vazgeçilsin mi?"_s);
}

void Frm_Tanim_Rehber::settleEditor()
{
    if (!m_editor->hasUnsavedChanges())
        ClearContactEditor();
}

void Frm_Tanim_Rehber::BuildGroupTree()
{
    // Asked before the group choice is refilled: a loaded contact whose
    // group is gone is not unsaved input.
    const bool keepEditor = m_editor->hasUnsavedChanges();
    m_groups->rebuild();
    m_editor->setGroups(m_groups->entries());
    m_lists->showAll();
    if (!keepEditor)
        ClearContactEditor();
}

void Frm_Tanim_Rehber::FillGroupContacts()
{
    m_lists->showGroup(m_groups->chosenGroupNo());
    settleEditor();
}

void Frm_Tanim_Rehber::groupChosenByUser()
{
    if (!mayDiscardEdits()) {
        m_groups->restoreChosenNode();
        return;
    }
    ClearContactEditor();
    FillGroupContacts();
}

void Frm_Tanim_Rehber::contactChosenByUser(int list)
{
    if (!mayDiscardEdits()) {
        m_lists->restoreSelection(list);
        return;
    }
    ShowSelectedContact(list);
}

void Frm_Tanim_Rehber::newContactAsked()
{
    if (mayDiscardEdits())
        m_editor->newContact();
}

void Frm_Tanim_Rehber::showStoredContact(const QString &recordNo)
{
    const std::optional<Contact> contact = m_lists->chooseContact(recordNo);
    if (contact && !m_editor->hasUnsavedChanges())
        m_editor->showContact(*contact);
}

void Frm_Tanim_Rehber::FilterAllContacts()
{
    m_lists->filter();
}

void Frm_Tanim_Rehber::ClearContactEditor()
{
    m_editor->clear();
}

void Frm_Tanim_Rehber::ShowSelectedContact(int list)
{
    if (const std::optional<Contact> contact = m_lists->selectedContact(list))
        m_editor->showContact(*contact);
}

void Frm_Tanim_Rehber::UpdateEditorButtons()
{
    m_editor->updateButtons();
}

const QString &Frm_Tanim_Rehber::recordNo() const
{
    return m_editor->recordNo();
}

const QString &Frm_Tanim_Rehber::chosenGroupNo() const
{
    return m_editor->groupNo();
}

int Frm_Tanim_Rehber::activeContactList() const
{
    return m_lists->activeList();
}

void Frm_Tanim_Rehber::moveDroppedContact(int position, const QString &groupNo)
{
    const std::optional<Contact> contact = m_lists->selectedContact(m_lists->activeList());
    if (!contact)
        return;
    // A copy: the move rebuilds the lists the contact is shown from.
    const QString recordNo = contact->Adr_K_No;
    m_groups->moveContact(position, groupNo, recordNo);
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

    auto *preview = new ImportPreviewDialog(bytes, QFileInfo(path).fileName(), m_groups->entries(),
                                            m_groups->chosenGroupNo(), m_context->session().snapshot().contacts, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::accepted, this, [this, preview] { runImport(preview->plan()); });
    preview->open();
}

void Frm_Tanim_Rehber::runImport(const ImportPlan &plan)
{
    if (busy())
        return;
    auto *import = new ContactImport(m_context->service(), m_context->session(), plan, this);
    m_context->setImportRunning(true);
    if (plan.newGroup && !makeImportGroup(*import)) {
        m_context->setImportRunning(false);
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
    const Result result = m_context->run([&] { return import.makeGroup(); });
    if (result == Result::Refused) {
        MessageBox::show(this, u"Yeni grup oluşturulamadı..!"_s);
        return false;
    }
    m_context->reloaded(result != Result::NotReloaded);
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
        fresh = m_context->reload();
        if (fresh && m_groups->chooseGroup(import.groupNo()))
            FillGroupContacts();
    }
    m_context->setImportRunning(false);

    if (!fresh)
        ReportStaleLists(this);
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
    const QString groupNo = m_groups->chosenGroupNo();
    const QList<QStringList> table = ContactExportTable(m_context->session().snapshot(), groupNo);
    if (table.size() <= 1) {
        MessageBox::show(this, u"Seçilen grupta dışa aktarılacak kişi yok."_s);
        return;
    }
    const QString name = groupNo == u"0" ? u"rehber"_s : u"rehber-"_s + fileNamePart(m_groups->chosenGroupName());
    SaveCsvFile(this, u"Kişileri Dışa Aktar"_s, QDir(documentsFolder()).filePath(name + u".csv"_s), table,
                u"Dosya kaydedilemedi"_s);
}

} // namespace velmor
