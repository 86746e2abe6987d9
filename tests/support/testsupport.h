#pragma once

#include "ui/common/filedialog.h"
#include "ui/common/messagebox.h"

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

// Answers every file dialog while alive with the given path (the empty text:
// a cancel) and records the requests.
class FileDialogAnswer
{
public:
    explicit FileDialogAnswer(QString path);
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer &) = delete;
    FileDialogAnswer &operator=(const FileDialogAnswer &) = delete;

    void setPath(const QString &path) { m_path = path; }
    const QList<FileDialog::Request> &requests() const { return m_requests; }

private:
    QString m_path;
    QList<FileDialog::Request> m_requests;
};

} // namespace velmor::test
