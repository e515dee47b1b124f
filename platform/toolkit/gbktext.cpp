#include "platform/toolkit/gbktext.h"

namespace plat {
namespace {
bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
}  // namespace

std::size_t GbkCharLength(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return 0;
  const auto lead = static_cast<unsigned char>(s[pos]);
  if (IsLead(lead) && pos + 1 < s.size() && IsTrail(static_cast<unsigned char>(s[pos + 1])))
    return 2;
  return 1;
}

std::size_t GbkCharBoundary(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return s.size();
  // GBK cannot be read backwards (trail bytes look like leads): walk from the start.
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t n = GbkCharLength(s, i);
    if (i + n > pos) return i;
    i += n;
  }
  return s.size();
}

std::size_t GbkPrevCharStart(std::string_view s, std::size_t pos) {
  if (pos == 0) return 0;
  if (pos > s.size()) pos = s.size();
  return GbkCharBoundary(s, pos - 1);
}

}  // namespace plat
