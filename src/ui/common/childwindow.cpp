#include "ui/common/childwindow.h"

#include "ui/common/listview.h"

#include <QCloseEvent>

namespace velmor {

void ChildWindow::closeWindow()
{
    CloseChildWindow(this);
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    if (refusesToClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace velmor
