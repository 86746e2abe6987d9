#pragma once

#include <QWidget>

namespace velmor {

class Service;
class Session;

// The delivery report window.
class Frm_Sms_Liste : public QWidget
{
    Q_OBJECT

public:
    Frm_Sms_Liste(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Sms_Liste() override;

private:
    const Service &m_service;
    Session &m_session;
};

} // namespace velmor
