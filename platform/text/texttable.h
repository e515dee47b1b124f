#pragma once
// A map from texts to records for lookups made every frame, kept in one array of slots.
//
// A node-based map of strings walks every node it holds while it has up to 20 of them
// (libstdc++'s choice for slow hashes), and reads a bucket and a node beyond that: a lookup is
// many loads from as many places of the heap. Here a lookup hashes the text, reads one slot
// and then only the entry whose full hash matches. Entries never move: references to them stay
// valid until Clear.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace plat {

template <class Text, class Value, class Hash = std::hash<Text>>
class TextTable {
 public:
  Value* Find(const Text& text) {
    if (m_slots.empty()) return nullptr;
    const std::uint64_t hash = Hash{}(text);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = m_slots[i];
      if (!s.entry) return nullptr;
      if (s.hash == hash && s.entry->text == text) return &s.entry->value;
    }
  }

  // Adds text, which must not be in the table yet.
  Value& Insert(const Text& text, Value value) {
    if ((m_entries.size() + 1) * 2 > m_slots.size()) Grow();
    m_entries.push_back(Entry{text, std::move(value)});
    Entry* entry = &m_entries.back();
    Place(Hash{}(text), entry);
    return entry->value;
  }

  void Clear() {
    m_slots.clear();
    m_entries.clear();
  }
  std::size_t Size() const { return m_entries.size(); }

 private:
  struct Entry {
    Text text;
    Value value;
  };
  struct Slot {
    std::uint64_t hash = 0;
    Entry* entry = nullptr;  // null: free
  };

  void Place(std::uint64_t hash, Entry* entry) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].entry) i = (i + 1) & mask;  // never full: at most half the slots are used
    m_slots[i] = Slot{hash, entry};
  }

  void Grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.resize(old.empty() ? 32 : old.size() * 2);
    for (const Slot& s : old)
      if (s.entry) Place(s.hash, s.entry);
  }

  std::vector<Slot> m_slots;  // a power of two in size
  std::deque<Entry> m_entries;
};

}  // namespace plat
