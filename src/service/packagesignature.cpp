#include "service/packagesignature.h"

#include <sodium.h>

namespace velmor {

static_assert(kPublisherKeyBytes == crypto_sign_PUBLICKEYBYTES);
static_assert(kPackageSignatureBytes == crypto_sign_BYTES);

QByteArray PublisherKeyFromHex(QByteArrayView hex)
{
    if (hex.size() != 2 * kPublisherKeyBytes)
        return {};
    for (const char c : hex) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return {};
    }
    return QByteArray::fromHex(hex.toByteArray());
}

bool IsValidPackageSignature(QByteArrayView package, QByteArrayView signature, QByteArrayView publicKey)
{
    if (signature.size() != kPackageSignatureBytes || publicKey.size() != kPublisherKeyBytes || package.isEmpty())
        return false;
    // Safe to call more than once; fails only without a source of randomness,
    // which verification does not need, but the library asks for it first.
    if (sodium_init() < 0)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.data()),
                                       reinterpret_cast<const unsigned char *>(package.data()),
                                       static_cast<unsigned long long>(package.size()),
                                       reinterpret_cast<const unsigned char *>(publicKey.data()))
           == 0;
}

} // namespace velmor
