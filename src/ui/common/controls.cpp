#include "ui/common/controls.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace velmor {

namespace {

// Watches one field: focus taken by a press of the mouse, then the release
// that ends that click selects the text, once the field has handled the
// release (the press put the caret where it landed).
class MouseFocusSelector final : public QObject
{
public:
    explicit MouseFocusSelector(QLineEdit *field) : QObject(field), m_field(field) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_pending = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
            break;
        case QEvent::FocusOut:
            m_pending = false;
            break;
        case QEvent::MouseButtonRelease:
            if (m_pending) {
                m_pending = false;
                QMetaObject::invokeMethod(
                    this,
                    [field = QPointer<QLineEdit>(m_field)] {
                        if (field && field->hasFocus() && !field->hasSelectedText())
                            field->selectAll();
                    },
                    Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    QLineEdit *m_field;
    bool m_pending = false;
};

} // namespace

QGroupBox *CaptionedFrame(const QString &caption, const QString &name, QWidget *parent)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton *NamedButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QLabel *CaptionLabel(const QString &text, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

void SelectAllOnMouseFocus(QLineEdit *field)
{
    field->installEventFilter(new MouseFocusSelector(field));
}

} // namespace velmor
