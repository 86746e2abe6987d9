#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace velmor {

// Update packages are signed by their publisher with Ed25519: a detached
// signature of the whole package, as libsodium's crypto_sign_detached() and
// "openssl pkeyutl -sign -rawin" make it.
inline constexpr qsizetype kPublisherKeyBytes = 32;
inline constexpr qsizetype kPackageSignatureBytes = 64;

// The publisher's public key from its 64 hexadecimal digits; empty when the
// text is not such a key.
QByteArray PublisherKeyFromHex(QByteArrayView hex);

// Whether signature (raw bytes) is a valid signature of package by the
// holder of publicKey (raw bytes). False for any malformed input.
bool IsValidPackageSignature(QByteArrayView package, QByteArrayView signature, QByteArrayView publicKey);

} // namespace velmor
