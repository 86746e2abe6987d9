#pragma once

// Pieces the send window's tests share: finding controls by name and typing
// as a keyboard does.

#include <QString>
#include <QTest>
#include <QWidget>

namespace velmor::test {

// The control of this objectName; a missing one ends the test program.
template<typename T> T *control(const QWidget *window, const char16_t *name)
{
    T *found = window->findChild<T *>(QString::fromUtf16(name));
    if (!found)
        qFatal("control %s not found", qPrintable(QString::fromUtf16(name)));
    return found;
}

// Types text as key presses, one character each (a character outside the
// basic plane, two units, is one key; a line break is Return).
inline void typeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        const bool lineBreak = text[i] == u'\n';
        const Qt::Key key = lineBreak ? Qt::Key_Return : Qt::Key_unknown;
        const QString keyText = lineBreak ? QStringLiteral("\r") : text.mid(i, n);
        i += n - 1;
        QTest::sendKeyEvent(QTest::Press, widget, key, keyText, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, keyText, Qt::NoModifier);
    }
}

} // namespace velmor::test
