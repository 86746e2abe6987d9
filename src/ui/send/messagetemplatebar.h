#pragma once

#include "ui/send/messagetemplates.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace velmor {

class MessageEdit;

// The template row of the message panel: a template picked by name fills the
// message box (asking first when that would replace other text); the box's
// message is saved under a typed name, or a template deleted.
class MessageTemplateBar : public QWidget
{
    Q_OBJECT

public:
    MessageTemplateBar(MessageEdit *box, QWidget *parent);

    // Reads the saved templates; says so when the file cannot be read.
    void load();

private:
    void fillNames();
    void templateChosen(int index);
    void saveTemplate();
    void deleteTemplate();

    MessageEdit *m_box;
    QComboBox *m_name = nullptr;     // cmbSablon
    QPushButton *m_save = nullptr;   // cmdSablonKaydet
    QPushButton *m_delete = nullptr; // cmdSablonSil
    MessageTemplateStore m_templates;
};

} // namespace velmor
