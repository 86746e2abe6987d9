#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

class QLabel;

namespace velmor {

class Session;

// "00042" for "42": a customer number with at least five digits. A value that
// is not a whole number is shown unchanged.
QString FormatCustomerNo(const QString &customerNo);

// Where the about box goes inside the main window: centred on the outer sizes
// of both, 570 twips above the centre, never off the top or the left.
QPoint AboutBoxPosition(const QSize &mainWindowOuter, const QSize &boxOuter);

// The about box: the program's name and version, the copyright notice and the
// logged-in customer. Its texts are set once, when it opens. Enter and Escape
// close it, as does the close box of its frame.
class Frm_Hakkinda : public QWidget
{
    Q_OBJECT

public:
    explicit Frm_Hakkinda(const Session &session, QWidget *parent = nullptr);

    static constexpr int kCopyrightYear = 2026;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *addLabel(const char16_t *name, const QString &text, int leftTwips, int topTwips, const QFont &font);
    void layOutNotice();
    void closeBox();

    QLabel *m_noticeWord = nullptr;
    QLabel *m_noticeSign = nullptr;
    QLabel *m_noticeText = nullptr;
};

} // namespace velmor
