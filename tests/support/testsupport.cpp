#include "testsupport.h"

#include <QStandardPaths>

namespace velmor::test {

MessageRecorder::MessageRecorder()
{
    MessageBox::setHandler([this](const MessageBox::Request &request) {
        m_boxes.append(request);
        return m_answers.isEmpty() ? true : m_answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    MessageBox::setHandler({});
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto &box : m_boxes)
        out.append(box.text);
    return out;
}

FileDialogAnswer::FileDialogAnswer(QString path) : m_path(std::move(path))
{
    FileDialog::setHandler([this](const FileDialog::Request &request) {
        m_requests.append(request);
        return m_path;
    });
}

FileDialogAnswer::~FileDialogAnswer()
{
    FileDialog::setHandler({});
}

} // namespace velmor::test
