#include "client/views/viewtext.h"

#include <cstdarg>
#include <cstdio>

#include "platform/text/textconv.h"

const std::string& SongFaceGbk() {
  static const std::string face = plat::Utf8ToGbk("宋");
  return face;
}

namespace {

// Whether every conversion of format is a bare %d, %u, %s or %%: the ones the views format
// every frame, which FormatSimple writes itself.
bool IsSimpleFormat(const char* format) {
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p != 'd' && *p != 'u' && *p != 's' && *p != '%') return false;
  }
  return true;
}

void AppendUnsigned(std::string& out, unsigned long long v) {
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  out.append(p, static_cast<std::size_t>(end - p));
}

// What vsnprintf writes for a simple format, without its parsing of the format and its
// stream machinery (a few hundred nanoseconds a text, and the views format dozens a frame).
void FormatSimple(std::string& out, const char* format, va_list args) {
  for (const char* p = format; *p; ++p) {
    const char* literal = p;
    while (*p && *p != '%') ++p;
    out.append(literal, static_cast<std::size_t>(p - literal));
    if (!*p) break;
    switch (*++p) {
      case 'd': {
        const long long v = va_arg(args, int);
        if (v < 0) out.push_back('-');
        AppendUnsigned(out, static_cast<unsigned long long>(v < 0 ? -v : v));
        break;
      }
      case 'u':
        AppendUnsigned(out, va_arg(args, unsigned));
        break;
      case 's': {
        const char* text = va_arg(args, const char*);
        out.append(text ? text : "(null)");
        break;
      }
      default:  // '%'
        out.push_back('%');
        break;
    }
  }
}

void FormatInto(std::string& out, const char* format, va_list args) {
  out.clear();
  if (format == nullptr) return;
  if (IsSimpleFormat(format)) {
    FormatSimple(out, format, args);
    return;
  }
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
