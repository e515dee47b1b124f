#include "platform/frame/livemark.h"

#include <mutex>
#include <set>

namespace plat::livemark {
namespace {

using Key = std::pair<const void*, const void*>;

// Built by the first mark, so it outlives every marked object, static ones included.
std::set<Key>& Live() {
  static std::set<Key> live;
  return live;
}

std::mutex& Lock() {
  static std::mutex mu;
  return mu;
}

}  // namespace

void Enter(const void* object, const void* kind) {
  std::lock_guard<std::mutex> lock(Lock());
  Live().emplace(object, kind);
}

void Leave(const void* object, const void* kind) {
  std::lock_guard<std::mutex> lock(Lock());
  Live().erase(Key(object, kind));
}

bool Holds(const void* object, const void* kind) {
  std::lock_guard<std::mutex> lock(Lock());
  return Live().count(Key(object, kind)) != 0;
}

}  // namespace plat::livemark
