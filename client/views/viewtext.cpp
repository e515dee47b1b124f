#include "client/views/viewtext.h"

#include <cstdarg>
#include <cstdio>

#include "platform/text/textconv.h"

const std::string& SongFaceGbk() {
  static const std::string face = plat::Utf8ToGbk("宋");
  return face;
}

namespace {

void FormatInto(std::string& out, const char* format, va_list args) {
  out.clear();
  if (format == nullptr) return;
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return;
  out.resize(static_cast<std::size_t>(needed) + 1);
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<std::size_t>(needed));
}

}  // namespace

std::string FormatText(const char* format, ...) {
  std::string out;
  va_list args;
  va_start(args, format);
  FormatInto(out, format, args);
  va_end(args);
  return out;
}

void FormatTextInto(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatInto(out, format, args);
  va_end(args);
}
