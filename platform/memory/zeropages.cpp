#include "platform/memory/zeropages.h"

#include <sys/mman.h>

#include <utility>

namespace plat {

ZeroPages::ZeroPages(std::size_t bytes) {
  if (bytes == 0) return;
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return;
  m_data = p;
  m_size = bytes;
}

ZeroPages::~ZeroPages() { Release(); }

ZeroPages::ZeroPages(ZeroPages&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

ZeroPages& ZeroPages::operator=(ZeroPages&& other) noexcept {
  if (this != &other) {
    Release();
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
  }
  return *this;
}

void ZeroPages::Release() {
  if (m_data) munmap(m_data, m_size);
  m_data = nullptr;
  m_size = 0;
}

}  // namespace plat
