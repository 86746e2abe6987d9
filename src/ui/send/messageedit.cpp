#include "ui/send/messageedit.h"

#include "model/sendrules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QList>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace velmor {

MessageEdit::MessageEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &MessageEdit::convertContent);
}

QString MessageEdit::message() const
{
    // The raw text has one character per document position; only the block
    // and line separators are written as line breaks.
    QString text = document()->toRawText();
    for (QChar &ch : text) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator)
            ch = u'\n';
    }
    return text;
}

void MessageEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const QString converted = MessageBoxKeyText(typed);
    if (converted == typed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent convertedEvent(event->type(), event->key(), event->modifiers(), converted, event->isAutoRepeat(),
                             quint16(event->count()));
    QPlainTextEdit::keyPressEvent(&convertedEvent);
    event->setAccepted(convertedEvent.isAccepted());
}

void MessageEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString converted = MessageBoxText(event->commitString());
    if (converted == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent convertedEvent(event->preeditString(), event->attributes());
    convertedEvent.setCommitString(converted, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&convertedEvent);
    event->setAccepted(convertedEvent.isAccepted());
}

void MessageEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = source->text();
    const QString converted = MessageBoxText(text);
    if (converted == text) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData convertedData;
    convertedData.setText(converted);
    QPlainTextEdit::insertFromMimeData(&convertedData);
}

void MessageEdit::convertContent()
{
    if (m_converting)
        return;
    const QString text = message();
    const QString converted = MessageBoxText(text);
    if (converted != text) {
        // Each character becomes one character, except a pair of surrogates
        // (one character outside the basic plane), which becomes one "?".
        // Positions in the text are document positions, so the changes are
        // made where they stand, from the end backwards, and the caret and
        // the anchor move by what was taken out before them.
        QTextCursor caret = textCursor();
        int anchor = caret.anchor();
        int position = caret.position();
        auto shift = [](int &at, int from, int removed) {
            if (at > from)
                at = std::max(from, at - removed);
        };
        struct Change
        {
            int at;
            int length;
            QChar by;
        };
        QList<Change> changes;
        qsizetype j = 0;
        for (qsizetype i = 0; i < text.size(); ++i, ++j) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            if (pair || text[i] != converted[j])
                changes.append({int(i), pair ? 2 : 1, converted[j]});
            if (pair)
                ++i;
        }
        m_converting = true;
        // Not undoable: undoing the conversion would bring back what it
        // replaced, and the conversion would follow at once.
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        for (qsizetype k = changes.size() - 1; k >= 0; --k) {
            const Change &change = changes[k];
            cursor.setPosition(change.at);
            cursor.setPosition(change.at + change.length, QTextCursor::KeepAnchor);
            cursor.insertText(QString(change.by));
            shift(anchor, change.at + 1, change.length - 1);
            shift(position, change.at + 1, change.length - 1);
        }
        cursor.endEditBlock();
        document()->setUndoRedoEnabled(true);
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(caret);
        m_converting = false;
    }
    emit messageChanged();
}

} // namespace velmor
