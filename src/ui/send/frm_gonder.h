#pragma once

#include <QWidget>

namespace velmor {

class Service;
class Session;

// The send window: message, recipients, sender name, balance and cost.
class Frm_Gonder : public QWidget
{
    Q_OBJECT

public:
    Frm_Gonder(const Service &service, Session &session, QWidget *parent = nullptr);

private:
    const Service &m_service;
    Session &m_session;
};

} // namespace velmor
