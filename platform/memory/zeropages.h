#pragma once
// A block of zero-filled memory taken straight from the kernel. Its pages cost no resident
// memory until first written, so a large table of which only a few entries are ever used
// stays small: the malloc heap would hand out recycled memory and write every byte to clear it.
#include <cstddef>

namespace plat {

class ZeroPages {
 public:
  ZeroPages() = default;
  // Data() is nullptr when the memory could not be had (or bytes is 0).
  explicit ZeroPages(std::size_t bytes);
  ~ZeroPages();
  ZeroPages(const ZeroPages&) = delete;
  ZeroPages& operator=(const ZeroPages&) = delete;
  ZeroPages(ZeroPages&& other) noexcept;
  ZeroPages& operator=(ZeroPages&& other) noexcept;

  void* Data() const { return m_data; }
  std::size_t Size() const { return m_size; }

 private:
  void Release();

  void* m_data = nullptr;
  std::size_t m_size = 0;
};

}  // namespace plat
