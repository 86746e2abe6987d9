#include "ui/reports/frm_sms_liste.h"

#include "model/session.h"
#include "service/service.h"

using namespace Qt::StringLiterals;

namespace velmor {

Frm_Sms_Liste::Frm_Sms_Liste(const Service &service, Session &session, QWidget *parent)
    : QWidget(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Sms_Liste"_s);
    setWindowTitle(u"Gönderilen SMS Listesi"_s);
}

Frm_Sms_Liste::~Frm_Sms_Liste() = default;

} // namespace velmor
