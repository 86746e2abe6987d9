#pragma once

#include "ui/common/childwindow.h"

#include <QString>

#include <array>

class QPushButton;

namespace velmor {

class GuardedLineEdit;
class Service;
class Session;

// The customer details window: the logged-in customer's record, of which the
// billing details, contact numbers, e-mail, SMS account and requested sender
// names can be changed and saved at once. The 24 boxes are the working copy:
// filled from the snapshot when the window opens and after each save.
class Frm_Tanim_Cari : public ChildWindow
{
    Q_OBJECT

public:
    static constexpr int BoxCount = 24;
    // Boxes 3 to 17: the items of Cari_Bilgileri, in box order.
    static constexpr int FirstDetailBox = 3;
    static constexpr int DetailCount = 15;
    // Boxes 21 to 23: the requested sender names.
    static constexpr int FirstRequestBox = 21;
    static constexpr int RequestedNameLimit = 11;
    using Details = std::array<QString, DetailCount>;

    Frm_Tanim_Cari(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Tanim_Cari() override;

    // Saves the details with command 5 and returns the service's result: the
    // text between the first two "<SMSCGuncelle>" marks, or "0" when the
    // reply has no such pair (no reply at all included). A text holding "|",
    // "<", ">" or a control character is not sent and gives "0". The boxes
    // hold no control characters: those in the record are left out.
    QString Cari_Kayit(const QString &customerNo, const Details &details, const QString &senderName1,
                       const QString &senderName2, const QString &senderName3);
    // Sets every box to its field of the customer record in the snapshot.
    void RefreshFields();
    // "Kaydet": saves the boxes; on success reloads the snapshot and refills them.
    void SaveClick();

    // The name of a box as the user knows it, for messages and screen readers.
    static QString BoxName(int box);

    QSize sizeHint() const override;

private:
    void buildControls();
    QString boxText(int box) const;

    const Service &m_service;
    Session &m_session;

    std::array<GuardedLineEdit *, BoxCount> m_boxes{}; // text1_0 .. text1_23
    QPushButton *m_save = nullptr;                       // Cmd_Kaydet
    QPushButton *m_cancel = nullptr;                     // Cmd_Vazgec

};

} // namespace velmor
