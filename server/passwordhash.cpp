#include "server/passwordhash.h"

#include <sodium.h>

namespace velsrv {

namespace {

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace

PasswordCost PasswordCost::Interactive() {
  return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

PasswordCost PasswordCost::Minimal() { return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN}; }

std::optional<std::string> HashPassword(const std::string& password, const PasswordCost& cost) {
  if (!SodiumReady()) return std::nullopt;
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(out, password.data(), password.size(), cost.opsLimit, cost.memLimit,
                            crypto_pwhash_ALG_ARGON2ID13) != 0)
    return std::nullopt;
  return std::string(out);
}

bool VerifyPassword(const std::string& hash, const std::string& password) {
  if (!SodiumReady() || !IsPasswordHash(hash) || hash.size() >= crypto_pwhash_STRBYTES) return false;
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

bool IsPasswordHash(const std::string& hash) { return hash.rfind("$argon2id$", 0) == 0; }

}  // namespace velsrv
