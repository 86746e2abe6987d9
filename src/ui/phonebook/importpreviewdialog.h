#pragma once

#include "model/contactimport.h"
#include "ui/phonebook/groupentry.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace velmor {

class GuardedLineEdit;
class ImportPreviewModel;

// The preview of a file to import: the records as read with the verdict of
// each, the encoding (detected, changeable), whether the first row names the
// columns, the column of each field (proposed, changeable), the target group
// (an existing one or a new one by name) and whether duplicates are kept.
// "Aktar" accepts it once a group is given and something can be sent.
class ImportPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    // contacts: the phone book, for the mobile numbers already in the chosen group.
    ImportPreviewDialog(QByteArray bytes, const QString &fileName, const QList<GroupEntry> &groups,
                        const QString &preferredGroupNo, const ContactList &contacts, QWidget *parent = nullptr);
    ~ImportPreviewDialog() override;

    ImportPlan plan() const;
    // The records that will be sent, and those that will not (blank lines left out).
    qsizetype acceptedCount() const { return m_accepted; }
    qsizetype refusedCount() const { return m_refused; }

public slots:
    void accept() override;

private:
    void buildControls(const QString &fileName, const QList<GroupEntry> &groups);
    void readFile();       // the bytes again in the chosen encoding
    void proposeMapping(); // from the header names or the contents
    void check();          // every record against the choices
    void groupChanged();
    void showMappingInChoices();
    void mappingChosen();

    QByteArray m_bytes;
    ContactList m_contacts;
    CsvTable m_table;
    ImportMapping m_mapping = kNoMapping;
    QList<ImportCheck> m_checks;
    qsizetype m_accepted = 0;
    qsizetype m_refused = 0;

    QComboBox *m_encoding = nullptr;
    QCheckBox *m_header = nullptr;
    std::array<QComboBox *, kContactFieldCount> m_fields{};
    QRadioButton *m_existingGroup = nullptr;
    QComboBox *m_group = nullptr;
    QRadioButton *m_newGroup = nullptr;
    GuardedLineEdit *m_newGroupName = nullptr;
    QCheckBox *m_keepDuplicates = nullptr;
    QCheckBox *m_onlyRefused = nullptr;
    QTableView *m_rows = nullptr;
    ImportPreviewModel *m_model = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_import = nullptr;
};

} // namespace velmor
