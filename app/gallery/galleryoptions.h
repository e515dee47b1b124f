#pragma once
// Command line of the screen gallery (the same options the game program takes).
#include <string>
#include <vector>

namespace gallery {

struct Options {
  bool headless = false;
  int frames = 0;  // 0 = until the window is closed (headless: kDefaultHeadlessFrames)
  std::string screenshot;
  std::string assets;
  bool help = false;
};

constexpr int kDefaultHeadlessFrames = 3;

// false with *error set for an unknown option or a bad value.
bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error);
const char* Usage();

}  // namespace gallery
