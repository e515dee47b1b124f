#include "platform/text/textconv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plat {
namespace {

constexpr const char* kGbk = "GBK";
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr const char* kUtf16 = "UTF-16BE";
#else
constexpr const char* kUtf16 = "UTF-16LE";
#endif
constexpr char kGbkReplacement = '?';
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// One open iconv descriptor, opened on first use per thread and kept.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid()) iconv_close(m_cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_cd; }
  void Reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t m_cd;
};

const IconvHandle& GbkToUtf16Handle() {
  thread_local IconvHandle h(kUtf16, kGbk);
  return h;
}
const IconvHandle& Utf16ToGbkHandle() {
  thread_local IconvHandle h(kGbk, kUtf16);
  return h;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool IsAscii(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x80) return false;
  return true;
}

// Runs iconv over `in`; on a bad or cut-off input sequence calls onBad(remainingInput), which
// appends its replacement and returns how many input bytes to skip (at least 1).
template <typename OnBad>
void ConvertAll(const IconvHandle& h, const char* in, std::size_t inLeft, std::string& out,
                std::size_t initialOut, OnBad onBad) {
  out.resize(initialOut + 16);
  std::size_t used = 0;
  h.Reset();
  while (inLeft > 0) {
    char* inPtr = const_cast<char*>(in);
    char* outPtr = &out[used];
    std::size_t outLeft = out.size() - used;
    std::size_t r = iconv(h.Get(), &inPtr, &inLeft, &outPtr, &outLeft);
    in = inPtr;
    used = out.size() - outLeft;
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (bad sequence) or EINVAL (cut off at the end): replace and go on after it.
    out.resize(used);
    std::size_t skip = onBad(in, inLeft, out);
    if (skip > inLeft) skip = inLeft;
    in += skip;
    inLeft -= skip;
    used = out.size();
    out.resize(used + inLeft * 4 + 16);
    h.Reset();
  }
  out.resize(used);
}

void AppendUtf16Unit(std::string& bytes, char16_t u) {
  char raw[sizeof(char16_t)];
  std::memcpy(raw, &u, sizeof u);
  bytes.append(raw, sizeof raw);
}

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Decodes one UTF-8 sequence at s[i]; returns the code point and sets len, or returns
// U+FFFD with len 1 for an invalid byte (overlong forms, surrogates and > U+10FFFF included).
char32_t DecodeUtf8(std::string_view s, std::size_t i, std::size_t& len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  len = 1;
  if (b0 < 0x80) return b0;
  std::size_t n;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2; cp = b0 & 0x1F; min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3; cp = b0 & 0x0F; min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4; cp = b0 & 0x07; min = 0x10000;
  } else {
    return kReplacementChar;
  }
  if (i + n > s.size()) return kReplacementChar;
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return kReplacementChar;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > kMaxCodePoint || IsHighSurrogate(cp) || IsLowSurrogate(cp))
    return kReplacementChar;
  len = n;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  std::u16string out;
  GbkToUtf16Into(gbk, out);
  return out;
}

void GbkToUtf16Into(std::string_view gbk, std::u16string& out) {
  if (IsAscii(gbk)) {
    // Not assign(first, last): from another character type it goes through a temporary string.
    out.resize(gbk.size());
    std::copy(gbk.begin(), gbk.end(), out.begin());
    return;
  }
  const IconvHandle& h = GbkToUtf16Handle();
  if (!h.Valid()) {
    out.assign(gbk.size(), kReplacementChar);
    return;
  }
  thread_local std::string bytes;
  // At most one UTF-16 unit per GBK byte.
  ConvertAll(h, gbk.data(), gbk.size(), bytes, gbk.size() * sizeof(char16_t),
             [](const char*, std::size_t, std::string& o) {
               AppendUtf16Unit(o, kReplacementChar);
               return std::size_t{1};
             });
  out.resize(bytes.size() / sizeof(char16_t));
  std::memcpy(out.data(), bytes.data(), out.size() * sizeof(char16_t));
}

std::string Utf16ToGbk(std::u16string_view s) {
  if (IsAscii(s)) return std::string(s.begin(), s.end());
  const IconvHandle& h = Utf16ToGbkHandle();
  if (!h.Valid()) return std::string(s.size(), kGbkReplacement);
  std::string out;
  ConvertAll(h, reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t), out,
             s.size() * 2, [](const char* in, std::size_t left, std::string& o) {
               o += kGbkReplacement;
               // A well-formed surrogate pair GBK cannot hold is one character.
               if (left >= 2 * sizeof(char16_t)) {
                 char16_t a, b;
                 std::memcpy(&a, in, sizeof a);
                 std::memcpy(&b, in + sizeof a, sizeof b);
                 if (IsHighSurrogate(a) && IsLowSurrogate(b)) return 2 * sizeof(char16_t);
               }
               return sizeof(char16_t);
             });
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  if (IsAscii(s)) return std::string(s.begin(), s.end());
  std::string out;
  out.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t u = s[i];
    if (IsHighSurrogate(u) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      u = kReplacementChar;
    }
    AppendUtf8(out, u);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  if (IsAscii(s)) return std::u16string(s.begin(), s.end());
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len;
    char32_t cp = DecodeUtf8(s, i, len);
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Utf16ToGbk(Utf8ToUtf16(utf8));
}

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return Utf16ToUtf8(GbkToUtf16(gbk));
}

}  // namespace plat
