#include "ui/send/frm_gonder.h"

namespace velmor {

Frm_Gonder::Frm_Gonder(const Service &service, Session &session, QWidget *parent)
    : QWidget(parent), m_service(service), m_session(session)
{
    setObjectName(QStringLiteral("Frm_Gonder"));
    setWindowTitle(QStringLiteral("SMS Gönder"));
}

} // namespace velmor
