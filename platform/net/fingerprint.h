#pragma once
// How a server certificate's fingerprint is written, the same on both ends and in the files
// players keep: "SHA256:" and the 32 bytes of the SHA-256 of the certificate (DER) in
// upper-case hex pairs joined by colons, as `openssl x509 -noout -fingerprint -sha256` shows.
#include <cstddef>
#include <string>

namespace plat::net {

constexpr std::size_t kSha256Bytes = 32;

std::string FormatFingerprint(const unsigned char (&sha256)[kSha256Bytes]);

}  // namespace plat::net
