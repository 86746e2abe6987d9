#include "ui/send/messagetemplatebar.h"

#include "model/sendrules.h"
#include "ui/common/controls.h"
#include "ui/common/messagebox.h"
#include "ui/send/messageedit.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

namespace velmor {

MessageTemplateBar::MessageTemplateBar(MessageEdit *box, QWidget *parent) : QWidget(parent), m_box(box)
{
    m_name = new QComboBox(this);
    m_name->setObjectName(QStringLiteral("cmbSablon"));
    // Picked from the list to fill the box; a new name is typed in.
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr);
    m_name->setMinimumContentsLength(16);
    m_name->lineEdit()->setMaxLength(60);
    m_name->lineEdit()->setPlaceholderText(QStringLiteral("Şablon seçin veya yeni ad yazın"));
    m_save = NamedButton(QStringLiteral("Şablonu Kaydet"), QStringLiteral("cmdSablonKaydet"), this);
    m_delete = NamedButton(QStringLiteral("Şablonu Sil"), QStringLiteral("cmdSablonSil"), this);
    m_delete->setEnabled(false);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CaptionLabel(QStringLiteral("Şablon :"), m_name, this));
    layout->addWidget(m_name, 1);
    layout->addWidget(m_save);
    layout->addWidget(m_delete);

    connect(m_name, &QComboBox::activated, this, &MessageTemplateBar::templateChosen);
    connect(m_name, &QComboBox::currentTextChanged, this,
            [this](const QString &name) { m_delete->setEnabled(m_templates.indexOf(name.trimmed()) >= 0); });
    connect(m_save, &QPushButton::clicked, this, &MessageTemplateBar::saveTemplate);
    connect(m_delete, &QPushButton::clicked, this, &MessageTemplateBar::deleteTemplate);
}

void MessageTemplateBar::load()
{
    const MessageTemplateStore::LoadResult loaded = m_templates.load();
    fillNames();
    if (loaded == MessageTemplateStore::LoadResult::Unreadable) {
        MessageBox::show(this, QStringLiteral("Kayıtlı mesaj şablonları okunamadı (%1). Yeni bir şablon "
                                              "kaydedildiğinde okunamayan dosya \".bozuk\" uzantısıyla saklanır.")
                                   .arg(QDir::toNativeSeparators(m_templates.filePath())));
    }
}

void MessageTemplateBar::fillNames()
{
    const QSignalBlocker blocker(m_name);
    m_name->clear();
    for (const MessageTemplate &entry : m_templates.templates())
        m_name->addItem(entry.name);
    m_name->setCurrentIndex(-1);
    m_name->clearEditText();
    m_delete->setEnabled(false);
}

void MessageTemplateBar::templateChosen(int index)
{
    const qsizetype at = m_templates.indexOf(m_name->itemText(index));
    if (at < 0)
        return;
    const MessageTemplate entry = m_templates.templates().at(at);
    const QString current = m_box->message();
    if (!current.isEmpty() && current != MessageBoxText(entry.text)
        && !MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                                 QStringLiteral("Mesaj kutusundaki metin \"%1\" şablonunun metniyle "
                                                "değiştirilsin mi?")
                                     .arg(entry.name))) {
        return;
    }
    // Set as any text the program puts into the box: converted there.
    m_box->setPlainText(entry.text);
    m_box->moveCursor(QTextCursor::End);
    m_box->setFocus();
}

void MessageTemplateBar::saveTemplate()
{
    QString name = m_name->currentText().trimmed();
    if (name.isEmpty()) {
        MessageBox::show(this, QStringLiteral("Şablonun adını \"Şablon\" kutusuna yazın."));
        m_name->setFocus();
        return;
    }
    const QString text = m_box->message();
    if (text.isEmpty()) {
        MessageBox::show(this, QStringLiteral("Şablon olarak kaydedilecek bir mesaj yok."));
        m_box->setFocus();
        return;
    }
    const qsizetype at = m_templates.indexOf(name);
    if (at >= 0) {
        name = m_templates.templates().at(at).name;
        if (m_templates.templates().at(at).text != text
            && !MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                                     QStringLiteral("\"%1\" adlı bir şablon zaten var. Metni bu mesajla "
                                                    "değiştirilsin mi?")
                                         .arg(name))) {
            return;
        }
    }
    QString error;
    if (!m_templates.save(name, text, &error)) {
        MessageBox::show(this, QStringLiteral("Şablon kaydedilemedi.\n%1").arg(error));
        return;
    }
    fillNames();
    m_name->setCurrentIndex(int(m_templates.indexOf(name)));
}

void MessageTemplateBar::deleteTemplate()
{
    const qsizetype at = m_templates.indexOf(m_name->currentText().trimmed());
    if (at < 0)
        return;
    const QString name = m_templates.templates().at(at).name;
    if (!MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                              QStringLiteral("\"%1\" şablonu silinsin mi?").arg(name))) {
        return;
    }
    QString error;
    if (!m_templates.remove(name, &error)) {
        MessageBox::show(this, QStringLiteral("Şablon silinemedi.\n%1").arg(error));
        return;
    }
    fillNames();
}

} // namespace velmor
