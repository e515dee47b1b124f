#pragma once
// A crowd of simulated players over loopback TCP, on one thread of its own:
// each logs in, follows the goods list it is sent and now and then buys
// shares of the lot on sale or likes a candidate. Counts what the server
// answers so the soak can tell a healthy run from a sick one.
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include <asio.hpp>

namespace soak {

class SimPlayer;

class SimCrowd {
 public:
  struct Totals {
    std::uint64_t loggedIn = 0;   // players that received their user record
    std::uint64_t refused = 0;    // login refusals
    std::uint64_t closed = 0;     // connections the server ended
    std::uint64_t malformed = 0;  // server output that did not decode
    std::uint64_t purchases = 0;  // purchases answered as done
    std::uint64_t requests = 0;   // purchases and likes sent
    std::uint64_t frames = 0;     // frames received
  };

  SimCrowd(std::uint16_t port, int players, std::uint64_t seed);
  ~SimCrowd();
  SimCrowd(const SimCrowd&) = delete;
  SimCrowd& operator=(const SimCrowd&) = delete;

  void Start();
  // Closes every connection and joins the thread.
  void Stop();
  // Safe from any thread while running.
  Totals GetTotals() const;

 private:
  friend class SimPlayer;
  void Act();

  asio::io_context io_;
  asio::steady_timer timer_;
  std::uint16_t port_;
  int count_;
  std::uint64_t seed_;
  std::vector<std::shared_ptr<SimPlayer>> players_;
  std::thread thread_;
  std::atomic<std::uint64_t> loggedIn_{0}, refused_{0}, closed_{0}, malformed_{0}, purchases_{0},
      requests_{0}, frames_{0};
};

}  // namespace soak
