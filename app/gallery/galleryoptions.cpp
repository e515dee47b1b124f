#include "app/gallery/galleryoptions.h"

#include <cerrno>
#include <cstdlib>

namespace gallery {

namespace {
constexpr long kMaxFrames = 1000000;

bool ParseFrames(const std::string& s, int* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < 1 || v > kMaxFrames) return false;
  *out = static_cast<int>(v);
  return true;
}
}  // namespace

const char* Usage() {
  return "usage: velmora-gallery [--headless] [--frames N] [--screenshot FILE.png] [--assets DIR]\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--frames" && hasValue) {
      if (!ParseFrames(args[++i], &o.frames)) {
        *error = "--frames wants a whole number from 1 to 1000000";
        return false;
      }
    } else if (a == "--screenshot" && hasValue) {
      o.screenshot = args[++i];
    } else if (a == "--assets" && hasValue) {
      o.assets = args[++i];
    } else {
      *error = "unknown or incomplete option: " + a;
      return false;
    }
  }
  *out = o;
  return true;
}

}  // namespace gallery
