#pragma once
// A private asset folder for one test run: made under the temporary directory, filled with
// plain images of known sizes, removed when the object goes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "testing/tempdir.h"

namespace testutil {

struct TestImage {
  const char* path;  // relative to the asset root
  int w, h;
  std::uint32_t argb;
};

// A w x h PNG of one colour; makes the parent folders.
bool WriteSolidPng(const std::filesystem::path& file, int w, int h, std::uint32_t argb);

class TestAssetDir {
 public:
  // `prefix` names the folder (/tmp/velmora-prefix-XXXXXX); Root() is empty if it cannot be made.
  explicit TestAssetDir(const std::string& prefix);

  const std::string& Root() const { return m_dir.Path(); }
  std::filesystem::path Path(const std::string& rel) const { return std::filesystem::path(Root()) / rel; }
  // false if the folder is missing or any image could not be written.
  bool WriteImages(const TestImage* images, std::size_t count) const;
  template <std::size_t N>
  bool WriteImages(const TestImage (&images)[N]) const {
    return WriteImages(images, N);
  }

 private:
  veltest::TempDir m_dir;
};

}  // namespace testutil
