#pragma once
// Password hashes: argon2id through libsodium, in its self-describing string form (the
// parameters travel inside the hash, so a hash made with other costs still verifies).
#include <cstddef>
#include <optional>
#include <string>

namespace velsrv {

struct PasswordCost {
  unsigned long long opsLimit;
  std::size_t memLimit;
  // What the server always uses: libsodium's interactive limits (64 MiB, tens of ms a check).
  static PasswordCost Interactive();
  // The cheapest argon2id libsodium allows: for tests only, which check many logins.
  static PasswordCost Minimal();
};

// nullopt when libsodium cannot start or runs out of memory.
std::optional<std::string> HashPassword(const std::string& password, const PasswordCost& cost);
bool VerifyPassword(const std::string& hash, const std::string& password);
// Whether the string is a hash this server makes (argon2id).
bool IsPasswordHash(const std::string& hash);

}  // namespace velsrv
