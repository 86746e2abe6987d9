#include "signingkey.h"

#include <sodium.h>

namespace velmor::test {

SigningKey::SigningKey()
    : m_publicKey(crypto_sign_PUBLICKEYBYTES, Qt::Uninitialized),
      m_secretKey(crypto_sign_SECRETKEYBYTES, Qt::Uninitialized)
{
    if (sodium_init() < 0)
        qFatal("libsodium cannot be initialised");
    crypto_sign_keypair(reinterpret_cast<unsigned char *>(m_publicKey.data()),
                        reinterpret_cast<unsigned char *>(m_secretKey.data()));
}

QByteArray SigningKey::sign(QByteArrayView data) const
{
    QByteArray signature(crypto_sign_BYTES, Qt::Uninitialized);
    crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(data.data()), quint64(data.size()),
                         reinterpret_cast<const unsigned char *>(m_secretKey.constData()));
    return signature;
}

} // namespace velmor::test
