#pragma once

#include <QLineEdit>

namespace velmor {

// The line edit of every field whose value the service stores inside a
// "|"-joined or "<>"-marked text (contact data, customer details, group
// names): "|", "<" and ">" cannot be typed into it. Pasted text goes in as it
// is, so a save must still check the value (HoldsStoreSeparator) and say why
// it refuses one.
//
// A typing limit bounds what the user adds (keys, paste, drop, input
// method), never what the program puts in with setText(): a stored value
// longer than the limit is shown and saved back whole, and the user can only
// shorten it. A key rule can fold or refuse typed characters.
//
// Control characters (NUL, escape, line breaks...) never stand in the field:
// setText() takes the value without them (WithoutControlCharacters), and
// whatever else puts them in (paste, drop) sees them taken out at once.
class GuardedLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    enum class KeyRule {
        Any,          // every character but the separators
        Digits,       // only "0" to "9"
        FoldTurkish,  // Turkish letters, "'" and ";" folded as they are typed
    };

    explicit GuardedLineEdit(QWidget *parent = nullptr);

    // At most this many characters by typing (0: no limit).
    void setTypingLimit(int characters);
    int typingLimit() const { return m_typingLimit; }
    void setKeyRule(KeyRule rule) { m_keyRule = rule; }
    KeyRule keyRule() const { return m_keyRule; }

    // Puts a value in as the program's own: never cut by the typing limit,
    // control characters left out.
    void setText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // The typed text as it may go in: separators dropped, the key rule applied.
    QString filterTyped(const QString &typed) const;
    void followLength();
    void dropControlCharacters();

    int m_typingLimit = 0;
    KeyRule m_keyRule = KeyRule::Any;
};

} // namespace velmor
