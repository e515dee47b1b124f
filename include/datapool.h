// CDataPool: a small recycling pool of objects of one type.
//
// Given-back objects wait in a deque; the most recently returned one is
// handed out first. The pool owns only what it holds: an object handed out
// and never given back is not deleted by it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <deque>

template <class T>
class CDataPool {
 public:
  CDataPool() = default;
  CDataPool(const CDataPool&) = delete;
  CDataPool& operator=(const CDataPool&) = delete;

  virtual ~CDataPool() {
    while (!m_freeItems.empty()) {
      T* item = m_freeItems.back();
      m_freeItems.pop_back();
      try {
        delete item;
      } catch (...) {
        // One bad object must not keep the rest from being released.
        std::fputs("CDataPool: deleting a pooled object failed\n", stderr);
      }
    }
  }

  // An object from the pool, or a new one when the pool is empty. A new
  // object is default-initialised only (plain records stay unwritten).
  T* AllocItem() {
    if (m_freeItems.empty()) {
      ++m_createdCount;
      return new T;
    }
    T* item = m_freeItems.back();
    m_freeItems.pop_back();
    return item;
  }

  // The pool takes the object over. The object itself is not touched.
  // Null and an object the pool already holds are refused: either would
  // later be handed out or deleted twice.
  void FreeItem(T* item) {
    if (item == nullptr) return;
    if (std::find(m_freeItems.begin(), m_freeItems.end(), item) != m_freeItems.end()) {
      std::fputs("CDataPool: object given back twice\n", stderr);
      return;
    }
    m_freeItems.push_back(item);
  }

  // Objects waiting in the pool.
  std::size_t GetFreeCount() const { return m_freeItems.size(); }

  // Objects this pool has created with new over its life.
  std::size_t GetCreatedCount() const { return m_createdCount; }

 protected:
  std::deque<T*> m_freeItems;
  std::size_t m_createdCount = 0;
};
