#pragma once

#include <QString>

namespace velmor {

// What the login record from the service says about the typed user name and
// password. The checks run in this order; the first that applies decides.
enum class LoginOutcome {
    ServerError,     // no reply, or no "<SMSGiris>" section
    UnknownCustomer, // the record is not of three fields
    Inactive,        // the account status is not "1"
    WrongUser,       // the user name differs (letter case counts)
    WrongPassword,   // the password differs
    Success,
};

struct LoginCheckResult
{
    LoginOutcome outcome = LoginOutcome::ServerError;
    QString status; // the account status field, set when the record has three fields
};

// Judges a login record payload ("<SMSGiris>status|user|password<SMSGiris>")
// against what the user typed. Nothing is trimmed; comparisons are exact.
LoginCheckResult CheckLogin(const QString &payload, const QString &userName, const QString &password);

// Whether the outcome counts towards the limit of failed logins.
bool IsCountedFailure(LoginOutcome outcome);

// The message shown for the outcome; empty for a success.
QString LoginMessage(LoginOutcome outcome);

// Shown in place of the server error when the service's TLS certificate
// could not be verified; not counted.
QString CertificateFailureMessage();

// The login window's notice when the service address is plain http to
// another machine.
QString UnencryptedConnectionNotice();

// More counted failures than this end the program.
inline constexpr int kAllowedFailedLogins = 2;
QString TooManyFailedLoginsMessage();

} // namespace velmor
