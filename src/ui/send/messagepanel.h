#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace velmor {

class MessageEdit;
class MessageTemplateBar;

// The message panel: the message box with "Alan Ekle" (fields put in at the
// caret) and "Önizleme", its length as the service counts it with the parts
// line beside it, and the templates that fill the box.
class MessagePanel : public QWidget
{
    Q_OBJECT

public:
    explicit MessagePanel(QWidget *parent = nullptr);

    // The message as the box holds it (line breaks as "\n").
    const QString &message() const { return m_message; }
    // Its length as the service counts it (a line break is two characters).
    qsizetype length() const { return m_length; }

    // Empties the message box.
    void clear();
    // Puts text into the box as a template does (converted there), the
    // cursor at its end and the focus in the box.
    void setMessage(const QString &text);
    // Reads the saved templates into the template row; says so when the
    // file cannot be read.
    void loadTemplates();

    // Puts a field's tag into the box at the caret (over the selection).
    void insertField(int field);
    // The parts line for a message whose recipients' texts differ ("1–2
    // mesaj"); the empty text shows the parts of the message as it stands.
    void showRecipientParts(const QString &partRange);

signals:
    // The text of the box changed (and is converted).
    void messageChanged();
    // The length figure changed; comes after messageChanged.
    void lengthChanged();
    // "Önizleme" was pressed.
    void previewRequested();

private:
    void boxChanged();
    QWidget *buildFieldRow(QWidget *parent);

    MessageEdit *m_box = nullptr;        // Text2
    QLabel *m_lengthFigure = nullptr;    // Label2_1
    QLabel *m_partInformation = nullptr; // lblMesajBilgisi
    MessageTemplateBar *m_templates = nullptr;
    QPushButton *m_addField = nullptr; // cmdAlanEkle
    QPushButton *m_preview = nullptr;  // cmdOnizleme

    QString m_message;
    qsizetype m_length = 0;
};

} // namespace velmor
