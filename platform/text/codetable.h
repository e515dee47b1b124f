#pragma once
// A map from UTF-16 code units to small records, kept in one array with open addressing.
//
// A frame looks up every character it draws; a node-based hash map costs a bucket and a node
// in two places of the heap per lookup, here it is one slot, and neighbouring codes (digits,
// Latin letters) sit in neighbouring slots. Pointers into it are valid until the next Insert
// or Clear.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

template <class T>
class CodeTable {
 public:
  const T* Find(char16_t code) const {
    if (m_slots.empty()) return nullptr;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = code & mask;; i = (i + 1) & mask) {
      const Slot& s = m_slots[i];
      if (!s.used) return nullptr;
      if (s.code == code) return &s.value;
    }
  }

  // Adds or replaces the record of code.
  T& Insert(char16_t code, const T& value) {
    if ((m_count + 1) * 2 > m_slots.size()) Grow();
    Slot& s = SlotFor(code);
    if (!s.used) {
      s.used = true;
      s.code = code;
      ++m_count;
    }
    s.value = value;
    return s.value;
  }

  void Clear() {
    m_slots.clear();
    m_count = 0;
  }
  std::size_t Size() const { return m_count; }

 private:
  struct Slot {
    char16_t code = 0;
    bool used = false;
    T value{};
  };

  // The slot holding code, or the free one where it belongs. The table is never full.
  Slot& SlotFor(char16_t code) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = code & mask;
    while (m_slots[i].used && m_slots[i].code != code) i = (i + 1) & mask;
    return m_slots[i];
  }

  void Grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.resize(old.empty() ? 64 : old.size() * 2);  // at most half full
    for (const Slot& s : old)
      if (s.used) SlotFor(s.code) = s;
  }

  std::vector<Slot> m_slots;  // a power of two in size
  std::size_t m_count = 0;
};

}  // namespace plat
