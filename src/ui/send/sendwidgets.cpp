#include "ui/send/sendwidgets.h"

#include "text/turkish.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace velmor {

MessageEdit::MessageEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &MessageEdit::foldContent);
}

void MessageEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    QString folded = typed;
    for (QChar &ch : folded)
        ch = QChar(FoldTurkish(ch.unicode()));
    if (folded == typed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent foldedEvent(event->type(), event->key(), event->modifiers(), folded, event->isAutoRepeat(),
                          quint16(event->count()));
    QPlainTextEdit::keyPressEvent(&foldedEvent);
    event->setAccepted(foldedEvent.isAccepted());
}

void MessageEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (IsFoldedTurkish(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent folded(event->preeditString(), event->attributes());
    folded.setCommitString(FoldTurkish(event->commitString()), event->replacementStart(),
                           event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&folded);
    event->setAccepted(folded.isAccepted());
}

void MessageEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || IsFoldedTurkish(source->text())) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData folded;
    folded.setText(FoldTurkish(source->text()));
    QPlainTextEdit::insertFromMimeData(&folded);
}

void MessageEdit::foldContent()
{
    if (m_folding)
        return;
    const QString text = toPlainText();
    if (!IsFoldedTurkish(text)) {
        // Positions in the plain text are positions in the document: each
        // line break is one character in both. Folding keeps the length, so
        // the caret and the selection go back to the same positions.
        const QString folded = FoldTurkish(text);
        QTextCursor caret = textCursor();
        const int anchor = caret.anchor();
        const int position = caret.position();
        m_folding = true;
        // Not undoable: undoing the fold would bring back what it folded,
        // and the fold would follow at once.
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == folded[i])
                continue;
            cursor.setPosition(int(i));
            cursor.setPosition(int(i + 1), QTextCursor::KeepAnchor);
            cursor.insertText(QString(folded[i]));
        }
        cursor.endEditBlock();
        document()->setUndoRedoEnabled(true);
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(caret);
        m_folding = false;
    }
    emit messageChanged();
}

} // namespace velmor
