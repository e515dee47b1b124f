#include "platform/transport/knownservers.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace plat {

std::map<std::string, std::string> KnownServers::Load() const {
  if (m_path.empty()) return m_memory;
  std::map<std::string, std::string> pins;
  std::ifstream in(m_path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string endpoint;
    std::string fingerprint;
    if (fields >> endpoint >> fingerprint) pins[endpoint] = fingerprint;
  }
  return pins;
}

KnownServers::Verdict KnownServers::Check(const std::string& endpoint, const std::string& fingerprint,
                                          std::string* pinned) {
  const auto pins = Load();
  const auto it = pins.find(endpoint);
  if (it == pins.end()) return Verdict::New;
  if (pinned != nullptr) *pinned = it->second;
  return it->second == fingerprint ? Verdict::Known : Verdict::Changed;
}

bool KnownServers::Remember(const std::string& endpoint, const std::string& fingerprint, std::string* error) {
  if (m_path.empty()) {
    m_memory[endpoint] = fingerprint;
    return true;
  }
  auto pins = Load();
  pins[endpoint] = fingerprint;
  // Written aside and renamed over, so a crash never leaves half a file.
  const std::string temp = m_path + ".new";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << "# velmora: server certificates seen on first connection (host:port fingerprint)\n";
    for (const auto& [where, print] : pins) out << where << ' ' << print << '\n';
    if (!out.flush()) {
      if (error != nullptr) *error = "cannot write " + temp;
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), m_path.c_str()) != 0) {
    if (error != nullptr) *error = "cannot replace " + m_path;
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace plat
