#include "tests/soak/simcrowd.h"

#include "tests/soak/simplayer.h"

namespace soak {

namespace {
constexpr auto kActEvery = std::chrono::milliseconds(100);
}  // namespace

SimCrowd::SimCrowd(std::uint16_t port, int players, std::uint64_t seed)
    : timer_(io_), port_(port), count_(players), seed_(seed) {}

SimCrowd::~SimCrowd() { Stop(); }

void SimCrowd::Start() {
  for (int i = 0; i < count_; ++i) {
    players_.push_back(std::make_shared<SimPlayer>(*this, i, seed_ + static_cast<std::uint64_t>(i)));
    players_.back()->Connect(port_);
  }
  Act();
  thread_ = std::thread([this] { io_.run(); });
}

void SimCrowd::Act() {
  timer_.expires_after(kActEvery);
  timer_.async_wait([this](const asio::error_code& ec) {
    if (ec) return;
    for (auto& p : players_) p->Act();
    Act();
  });
}

void SimCrowd::Stop() {
  if (!thread_.joinable()) return;
  asio::post(io_, [this] {
    timer_.cancel();
    for (auto& p : players_) p->Close();
  });
  thread_.join();
  players_.clear();
}

SimCrowd::Totals SimCrowd::GetTotals() const {
  Totals t;
  t.loggedIn = loggedIn_;
  t.refused = refused_;
  t.closed = closed_;
  t.malformed = malformed_;
  t.purchases = purchases_;
  t.requests = requests_;
  t.frames = frames_;
  return t;
}

}  // namespace soak
