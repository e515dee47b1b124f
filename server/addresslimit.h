#pragma once
// Open connections per remote address, so that one host cannot take every
// slot of the server (for example with idle logins).
#include <cstddef>
#include <map>
#include <string>

namespace velsrv {

class AddressLimit {
 public:
  explicit AddressLimit(std::size_t perAddress) : perAddress_(perAddress) {}

  // Counts one more connection from the address; false (nothing counted)
  // when it already has its share.
  bool TryAdd(const std::string& address);
  void Remove(const std::string& address);
  std::size_t Count(const std::string& address) const;

 private:
  std::size_t perAddress_;
  std::map<std::string, std::size_t> open_;
};

}  // namespace velsrv
