#pragma once
// Which objects of a kind are alive now, kept outside the objects. A validity query asks here by
// address instead of reading a mark inside an object that may already be destroyed.
//
//   class CView { plat::LiveMark<CView> m_live{this}; ... };
//   bool CView::IsValid() const { return plat::LiveMark<CView>::IsLive(this); }
#include <utility>

namespace plat {

namespace livemark {
// `kind` tells apart a class and its base living at the same address.
void Enter(const void* object, const void* kind);
void Leave(const void* object, const void* kind);
bool Holds(const void* object, const void* kind);
}  // namespace livemark

template <class T>
class LiveMark {
 public:
  explicit LiveMark(const T* owner) : m_owner(owner) { livemark::Enter(m_owner, &s_kind); }
  ~LiveMark() { livemark::Leave(m_owner, &s_kind); }
  LiveMark(const LiveMark&) = delete;
  LiveMark& operator=(const LiveMark&) = delete;

  // True while a T at this address is between the end of its construction of the mark and
  // the destruction of the mark. Never reads *object.
  static bool IsLive(const T* object) { return object != nullptr && livemark::Holds(object, &s_kind); }

 private:
  static inline const char s_kind = 0;
  const T* m_owner;
};

}  // namespace plat
