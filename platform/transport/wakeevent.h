#pragma once
// Lets another thread interrupt the transport thread's poll(): an eventfd that becomes readable
// when signalled.
namespace plat {

class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  bool IsValid() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }
  void Signal();
  // Consumes every pending signal.
  void Drain();

 private:
  int m_fd;
};

}  // namespace plat
