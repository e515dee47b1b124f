// CArrayTemplate: a growable array of plain records.
//
// Elements are copied byte for byte; no element constructor or destructor
// ever runs. Slots beyond the element count are kept zero-filled. Every
// operation either succeeds or throws and leaves the array unchanged.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "include/invalidargexception.h"
#include "include/object.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArrayTemplate : public CObject {
  static_assert(std::is_trivially_copyable_v<TYPE>, "CArrayTemplate holds plain records only");

 public:
  CArrayTemplate() = default;
  CArrayTemplate(const CArrayTemplate&) = delete;
  CArrayTemplate& operator=(const CArrayTemplate&) = delete;
  ~CArrayTemplate() override { ::operator delete(m_pData); }

  std::int32_t GetCount() const { return m_nElementCount; }
  std::int32_t GetCapacity() const { return m_nMaxCount; }

  // Extra elements added at each growth; 0 picks the automatic step.
  void SetGrowStep(std::int32_t step) {
    if (step < 0) throw CInvalidArgException("CArrayTemplate: negative grow step");
    m_nGrowCount = step;
  }

  // Appends the element; returns its index.
  std::int32_t Add(ARG_TYPE element) {
    const std::int32_t index = m_nElementCount;
    SetAtGrow(index, element);
    return index;
  }

  // Zero-fills the used elements; buffer and capacity stay.
  void RemoveAll() {
    if (m_nElementCount > 0) std::memset(static_cast<void*>(m_pData), 0, Bytes(m_nElementCount));
    m_nElementCount = 0;
  }

  TYPE& ElementAt(std::int32_t index) {
    CheckIndex(index);
    return m_pData[index];
  }
  const TYPE& ElementAt(std::int32_t index) const {
    CheckIndex(index);
    return m_pData[index];
  }

  // Stores the element at index, growing the array to index + 1 if needed.
  void SetAtGrow(std::int32_t index, ARG_TYPE element) {
    if (index < 0) throw CInvalidArgException("CArrayTemplate: negative index");
    if (index == INT32_MAX) throw CInvalidArgException("CArrayTemplate: index too large");
    // The element may live in this very buffer, which growing frees.
    alignas(TYPE) unsigned char copy[sizeof(TYPE)];
    std::memcpy(copy, static_cast<const void*>(&element), sizeof(TYPE));
    if (index >= m_nElementCount) SetSize(index + 1);
    std::memcpy(static_cast<void*>(&m_pData[index]), copy, sizeof(TYPE));
  }

  void SetSize(std::int32_t count) {
    if (count < 0) throw CInvalidArgException("CArrayTemplate: negative size");
    AllocMemory(count);
    if (count < m_nElementCount) {
      std::memset(static_cast<void*>(m_pData + count), 0, Bytes(m_nElementCount - count));
    } else if (count > m_nElementCount) {
      std::memset(static_cast<void*>(m_pData + m_nElementCount), 0, Bytes(count - m_nElementCount));
    }
    m_nElementCount = count;
  }

  // Makes room for at least minimum elements.
  void AllocMemory(std::int32_t minimum) {
    if (minimum < 0) throw CInvalidArgException("CArrayTemplate: negative capacity");
    if (m_nMaxCount >= minimum) return;

    std::int32_t step = m_nGrowCount;
    if (step == 0) {
      step = m_nElementCount / 8;
      if (step < kMinAutoStep) step = kMinAutoStep;
      if (step > kMaxAutoStep) step = kMaxAutoStep;
    }
    // Saturate rather than overflow the signed capacity.
    const std::int32_t capacity = minimum > INT32_MAX - step ? INT32_MAX : minimum + step;

    TYPE* buffer = static_cast<TYPE*>(::operator new(Bytes(capacity)));  // throws before any change
    // The count never exceeds the old capacity, which is below the new one; the clamp says so to
    // the compiler, whose overflow warning cannot see it.
    const std::int32_t kept = m_nElementCount < capacity ? m_nElementCount : capacity;
    if (kept > 0) std::memcpy(static_cast<void*>(buffer), m_pData, Bytes(kept));
    std::memset(static_cast<void*>(buffer + kept), 0, Bytes(capacity - kept));
    ::operator delete(m_pData);
    m_pData = buffer;
    m_nMaxCount = capacity;
  }

 private:
  static constexpr std::int32_t kMinAutoStep = 4;
  static constexpr std::int32_t kMaxAutoStep = 1024;

  static std::size_t Bytes(std::int32_t count) { return static_cast<std::size_t>(count) * sizeof(TYPE); }

  void CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= m_nElementCount) throw CInvalidArgException("CArrayTemplate: index out of range");
  }

  TYPE* m_pData = nullptr;
  std::int32_t m_nMaxCount = 0;
  std::int32_t m_nGrowCount = 0;
  std::int32_t m_nElementCount = 0;
};
