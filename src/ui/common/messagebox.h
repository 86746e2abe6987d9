#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace velmor {

inline constexpr char16_t kApplicationTitle[] = u"Velmor SMS";

// Every message box of the program goes through here, so that titles, icons
// and buttons are in one place and tests can read the text and answer without
// a modal loop.
class MessageBox
{
public:
    enum class Icon { None, Exclamation };
    struct Request
    {
        QString title;
        QString text;
        bool yesNo = false; // false: OK only
        Icon icon = Icon::None;
    };
    // Receives every box instead of the screen while set; its return value is
    // the answer to a Yes/No box (true = Yes) and ignored for an OK box.
    using Handler = std::function<bool(const Request &)>;

    // A box with an OK button only and the application's title.
    static void show(QWidget *parent, const QString &text);
    // A box with Yes and No and the exclamation icon; true for Yes.
    static bool askYesNo(QWidget *parent, const QString &title, const QString &text);

    static void setHandler(Handler handler);
    static bool hasHandler();

private:
    static bool run(QWidget *parent, const Request &request);
};

} // namespace velmor
