#pragma once

#include <QPlainTextEdit>

namespace velmor {

// The message box: Turkish letters, the apostrophe and the semicolon never
// stay in it. Key presses, pasted and dropped text and input method commits
// are folded before they go in, so undo works as usual. Any other change (the
// program setting the text) folds the whole text in place, keeping the caret
// and the selection where they were, since folding never changes the length;
// such a fold starts a new undo history.
class MessageEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MessageEdit(QWidget *parent = nullptr);

signals:
    // The text changed and is folded.
    void messageChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void foldContent();

    bool m_folding = false;
};

} // namespace velmor
