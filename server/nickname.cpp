#include "server/nickname.h"

#include "server/gbktext.h"

namespace velsrv {

namespace {

constexpr char32_t kIdeographicSpace = 0x3000;
constexpr char32_t kFullWidthFirst = 0xFF01;  // '！'
constexpr char32_t kFullWidthLast = 0xFF5E;   // '～'
constexpr char32_t kFullWidthOffset = 0xFEE0;

// Decodes the UTF-8 that iconv produced (valid by construction).
std::u32string Decode(const std::string& utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    ++i;
    for (; extra > 0 && i < utf8.size(); --extra, ++i) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

void Encode(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsTrimmedSpace(char32_t cp) { return cp == U' ' || cp == kIdeographicSpace; }

}  // namespace

std::optional<std::string> NicknameKey(std::string_view nicknameGbk) {
  const auto utf8 = GbkToUtf8(nicknameGbk);
  if (!utf8) return std::nullopt;
  const std::u32string text = Decode(*utf8);
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsTrimmedSpace(text[first])) ++first;
  while (last > first && IsTrimmedSpace(text[last - 1])) --last;
  if (first == last) return std::nullopt;
  std::string key;
  for (std::size_t i = first; i < last; ++i) {
    char32_t cp = text[i];
    if (cp >= kFullWidthFirst && cp <= kFullWidthLast) cp -= kFullWidthOffset;
    if (cp >= U'A' && cp <= U'Z') cp += U'a' - U'A';
    Encode(cp, &key);
  }
  return key;
}

}  // namespace velsrv
