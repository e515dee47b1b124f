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
  // First into the storage out already has: a text formatted again fits, and is done in one pass.
  out.resize(out.capacity());
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(out.data(), out.size(), format, copy);
  va_end(copy);
  if (needed <= 0) {
    out.clear();
    return;
  }
  const auto length = static_cast<std::size_t>(needed);
  if (length >= out.size()) {
    out.resize(length + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
  }
  out.resize(length);
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
