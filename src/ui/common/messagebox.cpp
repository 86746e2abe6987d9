#include "ui/common/messagebox.h"

#include <QMessageBox>

namespace velmor {

namespace {
MessageBox::Handler &handler()
{
    static MessageBox::Handler instance;
    return instance;
}
} // namespace

void MessageBox::show(QWidget *parent, const QString &text)
{
    run(parent, Request{QString::fromUtf16(kApplicationTitle), text, false, Icon::None});
}

bool MessageBox::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return run(parent, Request{title, text, true, Icon::Exclamation});
}

void MessageBox::setHandler(Handler h)
{
    handler() = std::move(h);
}

bool MessageBox::hasHandler()
{
    return bool(handler());
}

bool MessageBox::run(QWidget *parent, const Request &request)
{
    if (handler())
        return handler()(request);
    QMessageBox box(request.icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, request.title,
                    request.text, request.yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace velmor
