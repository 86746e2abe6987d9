#include "ui/phonebook/frm_tanim_rehber.h"

#include "model/session.h"
#include "service/service.h"

using namespace Qt::StringLiterals;

namespace velmor {

Frm_Tanim_Rehber::Frm_Tanim_Rehber(const Service &service, Session &session, QWidget *parent)
    : QWidget(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Tanim_Rehber"_s);
    setWindowTitle(u"Grup ve Kişi Tanımları"_s);
}

Frm_Tanim_Rehber::~Frm_Tanim_Rehber() = default;

} // namespace velmor
