#pragma once

#include <QWidget>

namespace velmor {

class Service;
class Session;

// The phone book window: groups, contacts, search, moves.
class Frm_Tanim_Rehber : public QWidget
{
    Q_OBJECT

public:
    Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Tanim_Rehber() override;

private:
    const Service &m_service;
    Session &m_session;
};

} // namespace velmor
