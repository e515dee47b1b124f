#include "client/views/viewtext.h"

#include <cstdarg>
#include <cstdio>

#include "platform/text/textconv.h"

const std::string& SongFaceGbk() {
  static const std::string face = plat::Utf8ToGbk("宋");
  return face;
}

std::string FormatText(const char* format, ...) {
  std::string out;
  if (format == nullptr) return out;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
  }
  va_end(args);
  return out;
}
