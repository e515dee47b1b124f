#include "platform/text/decimal.h"

#include <cerrno>
#include <cstdlib>

namespace plat {

bool ParseDecimal(const std::string& word, long long min, long long max, long long* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

}  // namespace plat
