#pragma once

#include <QPlainTextEdit>

namespace velmor {

// The message box: it holds exactly what will be sent. Turkish letters, the
// apostrophe and the semicolon never stay in it, and a character the
// service's code page cannot carry is replaced by what goes out in its place
// (a best-fit letter, or "?"). Key presses, pasted and dropped text and input
// method commits are converted before they go in, so undo works as usual.
// Any other change (the program setting the text) converts the whole text in
// place, keeping the caret and the selection on the same characters; such a
// conversion starts a new undo history.
class MessageEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MessageEdit(QWidget *parent = nullptr);

    // The message as the box holds it, every line break as "\n" and every
    // other character as it stands (a no-break space stays one, which
    // toPlainText() would turn into a plain space).
    QString message() const;

signals:
    // The text changed and is converted.
    void messageChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void convertContent();

    bool m_converting = false;
};

} // namespace velmor
