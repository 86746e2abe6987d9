#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace velmor {

class MessageEdit;
class MessageTemplateBar;

// The message panel: the message box, its length as the service counts it
// with the parts line beside it, and the templates that fill the box.
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

signals:
    // The text of the box changed (and is converted).
    void messageChanged();
    // The length figure changed; comes after messageChanged.
    void lengthChanged();

private:
    void boxChanged();

    MessageEdit *m_box = nullptr;        // Text2
    QLabel *m_lengthFigure = nullptr;    // Label2_1
    QLabel *m_partInformation = nullptr; // lblMesajBilgisi
    MessageTemplateBar *m_templates = nullptr;

    QString m_message;
    qsizetype m_length = 0;
};

} // namespace velmor
