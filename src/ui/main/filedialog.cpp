#include "ui/main/filedialog.h"

#include <QFileDialog>

namespace velmor {

namespace {
FileDialog::Handler &handler()
{
    static FileDialog::Handler instance;
    return instance;
}
} // namespace

QString FileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                                    const QString &filter)
{
    return run(parent, Request{Mode::Save, caption, suggestedPath, filter});
}

QString FileDialog::getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                    const QString &filter)
{
    return run(parent, Request{Mode::Open, caption, folder, filter});
}

void FileDialog::setHandler(Handler h)
{
    handler() = std::move(h);
}

QString FileDialog::run(QWidget *parent, const Request &request)
{
    if (handler())
        return handler()(request);
    if (request.mode == Mode::Save)
        return QFileDialog::getSaveFileName(parent, request.caption, request.suggestedPath, request.filter);
    return QFileDialog::getOpenFileName(parent, request.caption, request.suggestedPath, request.filter);
}

} // namespace velmor
