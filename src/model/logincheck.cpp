#include "model/logincheck.h"

#include <QStringList>

namespace velmor {

LoginCheckResult CheckLogin(const QString &payload, const QString &userName, const QString &password)
{
    const QStringList pieces = payload.split(QStringLiteral("<SMSGiris>"), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (pieces.size() < 3)
        return {LoginOutcome::ServerError, {}};

    const QStringList fields = pieces.at(1).split(u'|');
    if (fields.size() != 3)
        return {LoginOutcome::UnknownCustomer, {}};

    const QString &status = fields.at(0);
    if (status != u"1")
        return {LoginOutcome::Inactive, status};
    if (fields.at(1) != userName)
        return {LoginOutcome::WrongUser, status};
    if (fields.at(2) != password)
        return {LoginOutcome::WrongPassword, status};
    return {LoginOutcome::Success, status};
}

bool IsCountedFailure(LoginOutcome outcome)
{
    switch (outcome) {
    case LoginOutcome::UnknownCustomer:
    case LoginOutcome::WrongUser:
    case LoginOutcome::WrongPassword:
        return true;
    case LoginOutcome::ServerError:
    case LoginOutcome::Inactive:
    case LoginOutcome::Success:
        break;
    }
    return false;
}

QString LoginMessage(LoginOutcome outcome)
{
    switch (outcome) {
    case LoginOutcome::ServerError:
        return QStringLiteral("Server Hatası Oluştu..Giriş Yapılamıyor.");
    case LoginOutcome::UnknownCustomer:
        return QStringLiteral(
            "Girdiğiniz Cari Sistemde Kayıtlı Değildir.. Lütfen Cari Numaranızı Kontrol Ediniz.");
    case LoginOutcome::Inactive:
        return QStringLiteral("Cari Hesabınız Aktif Değil...");
    case LoginOutcome::WrongUser:
        return QStringLiteral("Kullanıcı Adınızı Yanlış Girdiniz... Lütfen Tekrar Giriniz..");
    case LoginOutcome::WrongPassword:
        return QStringLiteral("Şifrenizi Yanlış Girdiniz... Lütfen Tekrar Giriniz..");
    case LoginOutcome::Success:
        break;
    }
    return {};
}

QString CertificateFailureMessage()
{
    return QStringLiteral("Sunucunun Güvenlik Sertifikası Doğrulanamadı..Bağlantı Güvenli Olmadığından Giriş "
                          "Yapılamıyor. Sunucu Adresini Kontrol Ediniz.");
}

QString UnencryptedConnectionNotice()
{
    return QStringLiteral("Dikkat: Sunucu bağlantısı şifreli değil (http). Şifreniz ve bilgileriniz ağda açık "
                          "olarak gider.");
}

QString TooManyFailedLoginsMessage()
{
    return QStringLiteral("3 Sefer Yanlış Giriş Yaptınız. Şimdi Program Kapatılacak...");
}

} // namespace velmor
