#pragma once
// A private folder under /tmp for one test, removed with everything in it when the test ends.
// Header-only, so any test program can use it without linking the view test library.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace veltest {

class TempDir {
 public:
  explicit TempDir(const std::string& name) {
    std::string pattern = "/tmp/velmora-" + name + "-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace veltest
