#pragma once

#include <QWidget>

namespace velmor {

class Service;
class Session;

// The customer details window.
class Frm_Tanim_Cari : public QWidget
{
    Q_OBJECT

public:
    Frm_Tanim_Cari(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Tanim_Cari() override;

private:
    const Service &m_service;
    Session &m_session;
};

} // namespace velmor
