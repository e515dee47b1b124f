#include "platform/net/wirereader.h"

namespace plat::net {

namespace {
bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
}  // namespace

std::string_view ReadFieldTextView(const char* field, std::size_t fieldSize) {
  if (field == nullptr) return std::string_view();
  const void* zero = std::memchr(field, '\0', fieldSize);
  const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : fieldSize;
  return std::string_view(field, len);
}

std::string ReadFieldText(const char* field, std::size_t fieldSize) {
  return std::string(ReadFieldTextView(field, fieldSize));
}

void WriteFieldText(char* field, std::size_t fieldSize, std::string_view text) {
  if (field == nullptr || fieldSize == 0) return;
  std::memset(field, 0, fieldSize);
  const std::size_t limit = fieldSize - 1;
  std::size_t len = 0;
  while (len < text.size() && len < limit) {
    // A double-byte character that does not fit whole is left out.
    const std::size_t step = IsGbkLeadByte(static_cast<unsigned char>(text[len])) && len + 1 < text.size() ? 2 : 1;
    if (len + step > limit) break;
    len += step;
  }
  std::memcpy(field, text.data(), len);
}

}  // namespace plat::net
