#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace velmor::test {

// A fresh Ed25519 key pair, as an update publisher holds one, to sign test
// packages with.
class SigningKey
{
public:
    SigningKey();
    const QByteArray &publicKey() const { return m_publicKey; }
    // The detached signature of data.
    QByteArray sign(QByteArrayView data) const;

private:
    QByteArray m_publicKey;
    QByteArray m_secretKey;
};

} // namespace velmor::test
