#pragma once
// dynamic_cast for the casts the toolkit makes on every widget of every frame.
//
// A dynamic_cast walks the type descriptions of the object's class and its bases, a few loads
// from places the frame touches nowhere else; a cast that fails (most widgets are no windows)
// walks all of them. The answer only depends on the object's dynamic type and on where the
// pointer sits in the object, so it is remembered for the few combinations a program has.
// Single UI thread.
#include <array>
#include <cstddef>
#include <typeinfo>

namespace plat {

template <class To, class From>
To* CachedCast(From* p) {
  if (!p) return nullptr;
  struct Known {
    const std::type_info* type;
    std::ptrdiff_t fromOffset;  // where p sits in the whole object
    std::ptrdiff_t toOffset;    // where the answer sits relative to p
    bool converts;
  };
  static std::array<Known, 32> known;
  static std::size_t count = 0;
  const std::type_info* type = &typeid(*p);
  // The whole object's address comes from the vtable's offset, without a walk of the bases.
  const char* whole = static_cast<const char*>(dynamic_cast<const void*>(p));
  const char* at = reinterpret_cast<const char*>(p);
  const std::ptrdiff_t fromOffset = at - whole;
  for (std::size_t i = 0; i < count; ++i) {
    const Known& k = known[i];
    if (k.type != type || k.fromOffset != fromOffset) continue;
    if (!k.converts) return nullptr;
    return reinterpret_cast<To*>(const_cast<char*>(at) + k.toOffset);
  }
  To* answer = dynamic_cast<To*>(p);
  if (count < known.size()) {
    const std::ptrdiff_t toOffset = answer ? reinterpret_cast<const char*>(answer) - at : 0;
    known[count++] = Known{type, fromOffset, toOffset, answer != nullptr};
  }
  return answer;
}

}  // namespace plat
