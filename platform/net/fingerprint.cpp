#include "platform/net/fingerprint.h"

namespace plat::net {

std::string FormatFingerprint(const unsigned char (&sha256)[kSha256Bytes]) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text = "SHA256:";
  for (std::size_t i = 0; i < kSha256Bytes; ++i) {
    if (i > 0) text += ':';
    text += kHex[sha256[i] >> 4];
    text += kHex[sha256[i] & 0x0F];
  }
  return text;
}

}  // namespace plat::net
