#include "ui/common/guardedlineedit.h"

#include "text/storedtext.h"
#include "text/turkish.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>

namespace velmor {

namespace {
// QLineEdit's own "no limit".
constexpr int kNoLimit = 32767;
} // namespace

GuardedLineEdit::GuardedLineEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &GuardedLineEdit::followLength);
    // Pasting and dropping insert text past the key filter, and QLineEdit's
    // own setText() past this class's.
    connect(this, &QLineEdit::textChanged, this, &GuardedLineEdit::dropControlCharacters);
}

void GuardedLineEdit::setTypingLimit(int characters)
{
    m_typingLimit = characters > 0 ? characters : 0;
    QLineEdit::setMaxLength(m_typingLimit > 0 ? std::max<int>(m_typingLimit, int(text().size())) : kNoLimit);
}

void GuardedLineEdit::setText(const QString &value)
{
    const QString shown = HoldsControlCharacter(value) ? WithoutControlCharacters(value) : value;
    // Room for the whole value first: QLineEdit cuts what exceeds its limit,
    // its own "no limit" included.
    if (m_typingLimit > 0)
        QLineEdit::setMaxLength(std::max<int>(m_typingLimit, int(shown.size())));
    else if (shown.size() > maxLength())
        QLineEdit::setMaxLength(int(shown.size()));
    QLineEdit::setText(shown);
}

void GuardedLineEdit::dropControlCharacters()
{
    const QString edited = text();
    if (!HoldsControlCharacter(edited))
        return;
    // The cursor stays after what the user put in, counted without the
    // control characters before it.
    const qsizetype cursor = WithoutControlCharacters(QStringView(edited).first(cursorPosition())).size();
    QLineEdit::setText(WithoutControlCharacters(edited));
    setCursorPosition(int(cursor));
}

void GuardedLineEdit::followLength()
{
    // A value longer than the limit may be shortened, never lengthened: the
    // limit follows the text down until it is back at the typing limit.
    if (m_typingLimit > 0 && maxLength() > m_typingLimit && text().size() < maxLength())
        QLineEdit::setMaxLength(std::max<int>(m_typingLimit, int(text().size())));
}

QString GuardedLineEdit::filterTyped(const QString &typed) const
{
    QString out;
    out.reserve(typed.size());
    for (const QChar ch : typed) {
        if (IsStoreSeparator(ch) || IsControlCharacter(ch))
            continue;
        switch (m_keyRule) {
        case KeyRule::Any:
            out += ch;
            break;
        case KeyRule::Digits:
            if (ch >= u'0' && ch <= u'9')
                out += ch;
            break;
        case KeyRule::FoldTurkish:
            out += QChar(FoldTurkish(ch.unicode()));
            break;
        }
    }
    return out;
}

void GuardedLineEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Control characters (Backspace, Enter, shortcuts such as Ctrl+V) pass:
    // only printable text is filtered.
    if (typed.isEmpty() || !typed.front().isPrint()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString allowed = filterTyped(typed);
    if (allowed == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (allowed.isEmpty()) {
        event->accept(); // swallowed
        return;
    }
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), allowed, event->isAutoRepeat(),
                       quint16(event->count()));
    QLineEdit::keyPressEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void GuardedLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const QString allowed = filterTyped(commit);
    if (allowed == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(allowed, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

} // namespace velmor
