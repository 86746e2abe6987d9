#include "ui/phonebook/importpreviewdialog.h"

#include "text/storedtext.h"
#include "ui/common/controls.h"
#include "ui/common/guardedlineedit.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/phonebook/importpreviewmodel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

struct EncodingEntry
{
    const char16_t *caption;
    TextEncoding encoding;
};
constexpr std::array<EncodingEntry, 3> kEncodings{{
    {u"UTF-8", TextEncoding::Utf8},
    {u"Windows-1254 (Türkçe)", TextEncoding::Windows1254},
    {u"UTF-16 (Unicode metin)", TextEncoding::Utf16},
}};

// "Adres (2. satır)" and the like read as captions: "Adres (2. satır) :".
QString fieldCaption(int field)
{
    return ContactFieldName(field) + u" :"_s;
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(QByteArray bytes, const QString &fileName, const QList<GroupEntry> &groups,
                                         const QString &preferredGroupNo, const ContactList &contacts,
                                         QWidget *parent)
    : QDialog(parent), m_bytes(std::move(bytes)), m_contacts(contacts)
{
    setObjectName(u"ImportPreview"_s);
    setWindowTitle(u"Kişileri İçe Aktar"_s);
    setModal(true);
    buildControls(fileName, groups);

    const int preferred = m_group->findData(preferredGroupNo);
    m_group->setCurrentIndex(preferred >= 0 ? preferred : 0);
    if (groups.isEmpty()) {
        m_existingGroup->setEnabled(false);
        m_newGroup->setChecked(true);
    }

    m_table = ReadCsv(m_bytes);
    {
        const QSignalBlocker quiet(m_encoding);
        for (int i = 0; i < int(kEncodings.size()); ++i) {
            if (kEncodings[std::size_t(i)].encoding == m_table.encoding)
                m_encoding->setCurrentIndex(i);
        }
    }
    {
        const QSignalBlocker quiet(m_header);
        m_header->setChecked(DetectImportHeader(m_table.records));
    }
    proposeMapping();
    groupChanged();
    resize(Twips(13500), Twips(9000));
}

ImportPreviewDialog::~ImportPreviewDialog() = default;

void ImportPreviewDialog::buildControls(const QString &fileName, const QList<GroupEntry> &groups)
{
    auto *fileCaption = new QLabel(u"Dosya : %1"_s.arg(fileName), this);
    fileCaption->setObjectName(u"lblDosya"_s);

    auto *encodingCaption = new QLabel(u"Kodlama :"_s, this);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(u"cboKodlama"_s);
    for (const EncodingEntry &entry : kEncodings)
        m_encoding->addItem(QString::fromUtf16(entry.caption));
    encodingCaption->setBuddy(m_encoding);
    m_header = new QCheckBox(u"İlk satır sütun adlarıdır"_s, this);
    m_header->setObjectName(u"chkBaslik"_s);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(encodingCaption);
    fileRow->addWidget(m_encoding);
    fileRow->addSpacing(Twips(300));
    fileRow->addWidget(m_header);
    fileRow->addStretch(1);

    // Which column fills each field.
    auto *columns = CaptionedFrame(u"Alanların Sütunları"_s, u"fraSutunlar"_s, this);
    auto *columnsLayout = new QGridLayout(columns);
    for (int field = 0; field < kContactFieldCount; ++field) {
        auto *caption = new QLabel(fieldCaption(field), columns);
        auto *choice = new QComboBox(columns);
        choice->setObjectName(u"cboAlan_%1"_s.arg(field));
        caption->setBuddy(choice);
        const int row = field % 5;
        const int column = field / 5 * 2;
        columnsLayout->addWidget(caption, row, column);
        columnsLayout->addWidget(choice, row, column + 1);
        m_fields[std::size_t(field)] = choice;
        connect(choice, &QComboBox::currentIndexChanged, this, &ImportPreviewDialog::mappingChosen);
    }
    columnsLayout->setColumnStretch(1, 1);
    columnsLayout->setColumnStretch(3, 1);

    // Where the contacts go.
    auto *target = CaptionedFrame(u"Eklenecekleri Grup"_s, u"fraGrup"_s, this);
    m_existingGroup = new QRadioButton(u"Var olan grup :"_s, target);
    m_existingGroup->setObjectName(u"optVarOlanGrup"_s);
    m_existingGroup->setChecked(true);
    m_group = new QComboBox(target);
    m_group->setObjectName(u"cboGrup"_s);
    m_group->setAccessibleName(u"Var olan grup"_s);
    for (const GroupEntry &group : groups)
        m_group->addItem(group.name, group.groupNo);
    m_newGroup = new QRadioButton(u"Yeni grup :"_s, target);
    m_newGroup->setObjectName(u"optYeniGrup"_s);
    m_newGroupName = new GuardedLineEdit(target);
    m_newGroupName->setObjectName(u"txtYeniGrup"_s);
    m_newGroupName->setAccessibleName(u"Yeni grup adı"_s);
    m_newGroupName->setTypingLimit(kGroupNameLimit);
    auto *choice = new QButtonGroup(this);
    choice->addButton(m_existingGroup);
    choice->addButton(m_newGroup);
    m_keepDuplicates = new QCheckBox(u"Grupta ya da dosyada daha önce geçen cep telefonlarını da ekle"_s, target);
    m_keepDuplicates->setObjectName(u"chkTekrarlar"_s);
    auto *targetLayout = new QGridLayout(target);
    targetLayout->addWidget(m_existingGroup, 0, 0);
    targetLayout->addWidget(m_group, 0, 1);
    targetLayout->addWidget(m_newGroup, 1, 0);
    targetLayout->addWidget(m_newGroupName, 1, 1);
    targetLayout->addWidget(m_keepDuplicates, 2, 0, 1, 2);
    targetLayout->setColumnStretch(1, 1);

    // The records with their verdicts.
    auto *records = CaptionedFrame(u"Dosyadaki Satırlar"_s, u"fraSatirlar"_s, this);
    m_model = new ImportPreviewModel(this);
    m_rows = new QTableView(records);
    m_rows->setObjectName(u"lstSatirlar"_s);
    m_rows->setAccessibleName(records->title());
    m_rows->setModel(m_model);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setAlternatingRowColors(true);
    m_rows->verticalHeader()->hide();
    m_rows->verticalHeader()->setDefaultSectionSize(m_rows->fontMetrics().height() + 6);
    m_rows->horizontalHeader()->setDefaultSectionSize(Twips(1800));
    m_rows->setWordWrap(false);
    m_onlyRefused = new QCheckBox(u"Yalnızca aktarılmayacak satırları göster"_s, records);
    m_onlyRefused->setObjectName(u"chkAktarilmayanlar"_s);
    m_summary = new QLabel(records);
    m_summary->setObjectName(u"lblOzet"_s);
    auto *recordsLayout = new QVBoxLayout(records);
    recordsLayout->addWidget(m_onlyRefused);
    recordsLayout->addWidget(m_rows, 1);
    recordsLayout->addWidget(m_summary);

    m_import = NamedButton(u"Aktar"_s, u"cmdAktar"_s, this);
    m_import->setDefault(true);
    auto *cancel = NamedButton(u"Vazgeç"_s, u"cmdOnizlemeVazgec"_s, this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_import);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileCaption);
    layout->addLayout(fileRow);
    auto *choices = new QHBoxLayout;
    choices->addWidget(columns, 3);
    choices->addWidget(target, 2);
    layout->addLayout(choices);
    layout->addWidget(records, 1);
    layout->addLayout(buttons);

    connect(m_encoding, &QComboBox::currentIndexChanged, this, &ImportPreviewDialog::readFile);
    connect(m_header, &QCheckBox::toggled, this, [this] {
        proposeMapping();
        check();
    });
    connect(m_group, &QComboBox::currentIndexChanged, this, &ImportPreviewDialog::groupChanged);
    connect(m_existingGroup, &QRadioButton::toggled, this, &ImportPreviewDialog::groupChanged);
    connect(m_newGroupName, &QLineEdit::textEdited, this, [this] { m_newGroup->setChecked(true); });
    connect(m_keepDuplicates, &QCheckBox::toggled, this, &ImportPreviewDialog::check);
    connect(m_onlyRefused, &QCheckBox::toggled, this, &ImportPreviewDialog::check);
    connect(m_import, &QPushButton::clicked, this, &ImportPreviewDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ImportPreviewDialog::reject);
}

void ImportPreviewDialog::readFile()
{
    const int entry = std::max(0, m_encoding->currentIndex());
    m_table = ReadCsv(m_bytes, kEncodings[std::size_t(entry)].encoding);
    {
        const QSignalBlocker quiet(m_header);
        m_header->setChecked(DetectImportHeader(m_table.records));
    }
    proposeMapping();
    check();
}

void ImportPreviewDialog::proposeMapping()
{
    m_mapping = ProposeImportMapping(m_table.records, m_header->isChecked());
    showMappingInChoices();
}

void ImportPreviewDialog::showMappingInChoices()
{
    int width = 0;
    for (const QStringList &record : std::as_const(m_table.records))
        width = std::max(width, int(record.size()));
    const bool named = m_header->isChecked() && !m_table.records.isEmpty();
    for (int field = 0; field < kContactFieldCount; ++field) {
        QComboBox *choice = m_fields[std::size_t(field)];
        const QSignalBlocker quiet(choice);
        choice->clear();
        choice->addItem(u"(yok)"_s, -1);
        for (int column = 0; column < width; ++column) {
            const QString name = named && column < m_table.records.constFirst().size()
                ? m_table.records.constFirst().at(column).trimmed()
                : QString();
            choice->addItem(name.isEmpty() ? u"%1. sütun"_s.arg(column + 1)
                                           : u"%1. sütun: %2"_s.arg(column + 1).arg(name),
                            column);
        }
        choice->setCurrentIndex(std::max(0, choice->findData(m_mapping[std::size_t(field)])));
    }
}

void ImportPreviewDialog::mappingChosen()
{
    for (int field = 0; field < kContactFieldCount; ++field)
        m_mapping[std::size_t(field)] = m_fields[std::size_t(field)]->currentData().toInt();
    check();
}

void ImportPreviewDialog::groupChanged()
{
    m_group->setEnabled(m_existingGroup->isChecked());
    check();
}

void ImportPreviewDialog::check()
{
    ImportOptions options;
    options.mapping = m_mapping;
    options.hasHeader = m_header->isChecked();
    options.keepDuplicates = m_keepDuplicates->isChecked();
    if (m_existingGroup->isChecked())
        options.groupMobiles = GroupMobileNumbers(m_contacts, m_group->currentData().toString());
    m_checks = CheckImportRecords(m_table.records, options);
    m_accepted = 0;
    m_refused = 0;
    for (const ImportCheck &check : std::as_const(m_checks)) {
        if (check.accepted())
            ++m_accepted;
        else if (check.verdict != ImportVerdict::Blank)
            ++m_refused;
    }
    m_model->setContents(plan(), m_onlyRefused->isChecked());
    m_rows->setColumnWidth(ImportPreviewModel::NumberColumn, Twips(750));
    m_rows->setColumnWidth(ImportPreviewModel::VerdictColumn, Twips(4500));
    const QLocale locale;
    m_summary->setText(u"%1 satır aktarılacak, %2 satır aktarılmayacak."_s.arg(locale.toString(m_accepted),
                                                                               locale.toString(m_refused)));
}

ImportPlan ImportPreviewDialog::plan() const
{
    ImportPlan plan;
    plan.table = m_table;
    plan.hasHeader = m_header->isChecked();
    plan.mapping = m_mapping;
    plan.checks = m_checks;
    plan.newGroup = m_newGroup->isChecked();
    plan.groupNo = plan.newGroup ? QString() : m_group->currentData().toString();
    plan.newGroupName = plan.newGroup ? m_newGroupName->text().trimmed() : QString();
    return plan;
}

void ImportPreviewDialog::accept()
{
    if (m_newGroup->isChecked()) {
        const QString name = m_newGroupName->text();
        QString problem;
        if (name.trimmed().isEmpty())
            problem = u"Lütfen yeni grubun adını yazınız."_s;
        else if (HoldsStoreSeparator(name))
            problem = StoreSeparatorMessage(u"Grup Adı"_s);
        if (!problem.isEmpty()) {
            MessageBox::show(this, problem);
            m_newGroupName->setFocus();
            m_newGroupName->selectAll();
            return;
        }
    } else if (m_group->currentData().toString().isEmpty()) {
        MessageBox::show(this, u"Lütfen kişilerin ekleneceği grubu seçiniz."_s);
        m_group->setFocus();
        return;
    }
    if (m_accepted == 0) {
        MessageBox::show(this, u"Aktarılabilecek satır yok. Lütfen alanların sütunlarını ve satırların "
                               u"durumunu kontrol ediniz."_s);
        return;
    }
    QDialog::accept();
}

} // namespace velmor
