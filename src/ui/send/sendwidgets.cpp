#include "ui/send/sendwidgets.h"

#include "text/turkish.h"

#include <QKeyEvent>
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
        QTextCursor cursor(document());
        cursor.joinPreviousEditBlock();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == folded[i])
                continue;
            cursor.setPosition(int(i));
            cursor.setPosition(int(i + 1), QTextCursor::KeepAnchor);
            cursor.insertText(QString(folded[i]));
        }
        cursor.endEditBlock();
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(caret);
        m_folding = false;
    }
    emit messageChanged();
}

void GroupTree::keyPressEvent(QKeyEvent *event)
{
    const QTreeWidgetItem *before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() != before)
        emit nodeChosenByKey();
}

} // namespace velmor
