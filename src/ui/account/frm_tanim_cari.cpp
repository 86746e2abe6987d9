#include "ui/account/frm_tanim_cari.h"

#include "model/session.h"
#include "service/service.h"

using namespace Qt::StringLiterals;

namespace velmor {

Frm_Tanim_Cari::Frm_Tanim_Cari(const Service &service, Session &session, QWidget *parent)
    : QWidget(parent), m_service(service), m_session(session)
{
    setObjectName(u"Frm_Tanim_Cari"_s);
    setWindowTitle(u"Cari Bilgileri"_s);
}

Frm_Tanim_Cari::~Frm_Tanim_Cari() = default;

} // namespace velmor
