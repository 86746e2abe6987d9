#pragma once

#include "ui/main/messagebox.h"

#include <QList>
#include <QString>

// Shared pieces of the tests: fakes at the edge only.
namespace velmor::test {

// Receives every message box while alive: records it and answers Yes/No
// boxes from a queue (Yes when the queue is empty).
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    void answerNext(bool yes) { m_answers.append(yes); }
    const QList<MessageBox::Request> &boxes() const { return m_boxes; }
    QStringList texts() const;
    QString lastText() const { return m_boxes.isEmpty() ? QString() : m_boxes.constLast().text; }
    void clear() { m_boxes.clear(); }

private:
    QList<MessageBox::Request> m_boxes;
    QList<bool> m_answers;
};

} // namespace velmor::test
