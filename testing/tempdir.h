#pragma once
// A private folder under /tmp, removed with everything in it when the object goes. Header-only,
// so tests, benchmarks and tools use it without linking anything.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace veltest {

class TempDir {
 public:
  // The folder is /tmp/velmora-<name>-XXXXXX.
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
  // The full path of `rel` inside the folder.
  std::string File(const std::string& rel) const { return m_path + "/" + rel; }
  // Writes `bytes` to `rel` (making its parent folders); returns the full path, empty on failure.
  std::string Write(const std::string& rel, const std::string& bytes) const {
    if (m_path.empty()) return "";
    const std::filesystem::path full = std::filesystem::path(m_path) / rel;
    std::error_code ec;
    std::filesystem::create_directories(full.parent_path(), ec);
    std::ofstream out(full, std::ios::binary);
    out << bytes;
    out.close();
    return out ? full.string() : "";
  }

 private:
  std::string m_path;
};

}  // namespace veltest
