#pragma once
// Server certificate fingerprints pinned on first use, per host and port, in a text file in
// the player's data folder: one "HOST:PORT FINGERPRINT" line each. An empty path keeps the
// pins in memory only (for this run).
#include <map>
#include <string>

namespace plat {

class KnownServers {
 public:
  enum class Verdict { Known, New, Changed };

  explicit KnownServers(std::string path) : m_path(std::move(path)) {}

  // Compares with the pinned fingerprint (into *pinned when there is one). Unreadable lines
  // are skipped; a missing file knows nothing.
  Verdict Check(const std::string& endpoint, const std::string& fingerprint, std::string* pinned);
  // Pins the fingerprint for the endpoint (replacing an older pin). False with a reason when
  // the file cannot be written.
  bool Remember(const std::string& endpoint, const std::string& fingerprint, std::string* error);
  const std::string& Path() const { return m_path; }

 private:
  std::map<std::string, std::string> Load() const;

  std::string m_path;
  std::map<std::string, std::string> m_memory;  // without a path
};

}  // namespace plat
