#include "tools/assetgen/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {
struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
}  // namespace

std::string Utf8ToGbk(const std::string& utf8) {
  iconv_t raw = iconv_open("GBK", "UTF-8");
  if (raw == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
  std::unique_ptr<void, IconvCloser> cd(raw);
  std::vector<char> in(utf8.begin(), utf8.end());
  // GBK never needs more bytes than UTF-8 for the same text.
  std::vector<char> outBuf(utf8.size() + 4);
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = outBuf.data();
  size_t dstLeft = outBuf.size();
  if (iconv(raw, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0)
    throw std::runtime_error("text has no GBK form near byte " + std::to_string(in.size() - srcLeft));
  return std::string(outBuf.data(), outBuf.size() - dstLeft);
}
