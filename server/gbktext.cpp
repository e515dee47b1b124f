#include "server/gbktext.h"

#include <iconv.h>

#include <cerrno>

namespace velsrv {

namespace {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  IconvHandle cd(to, from);
  if (!cd.Valid()) return std::nullopt;
  std::string out;
  out.resize(in.size() * 2 + 8);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  size_t used = 0;
  while (srcLeft > 0) {
    char* dst = &out[used];
    size_t dstLeft = out.size() - used;
    const size_t rc = iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) return std::nullopt;  // EILSEQ or a truncated sequence
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8); }

std::optional<std::string> GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "GBK", gbk); }

std::string GbkToUtf8Lossy(std::string_view gbk) {
  if (auto whole = GbkToUtf8(gbk)) return *whole;
  std::string out;
  for (std::size_t i = 0; i < gbk.size();) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    const std::size_t step = (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
    auto piece = GbkToUtf8(gbk.substr(i, step));
    out += piece ? *piece : std::string("?");
    i += step;
  }
  return out;
}

}  // namespace velsrv
