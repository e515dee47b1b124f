#include "platform/transport/wakeevent.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace plat {

WakeEvent::WakeEvent() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
  if (m_fd >= 0) ::close(m_fd);
}

void WakeEvent::Signal() {
  if (m_fd < 0) return;
  const std::uint64_t one = 1;
  // A full counter (EAGAIN) already means "signalled"; nothing to do about it.
  [[maybe_unused]] const ssize_t n = ::write(m_fd, &one, sizeof(one));
}

void WakeEvent::Drain() {
  if (m_fd < 0) return;
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = ::read(m_fd, &count, sizeof(count));
}

}  // namespace plat
