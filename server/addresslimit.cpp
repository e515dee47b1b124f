#include "server/addresslimit.h"

namespace velsrv {

bool AddressLimit::TryAdd(const std::string& address) {
  std::size_t& n = open_[address];
  if (n >= perAddress_) {
    if (n == 0) open_.erase(address);
    return false;
  }
  ++n;
  return true;
}

void AddressLimit::Remove(const std::string& address) {
  auto it = open_.find(address);
  if (it == open_.end()) return;
  if (--it->second == 0) open_.erase(it);
}

std::size_t AddressLimit::Count(const std::string& address) const {
  auto it = open_.find(address);
  return it == open_.end() ? 0 : it->second;
}

}  // namespace velsrv
