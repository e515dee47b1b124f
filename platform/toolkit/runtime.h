#pragma once
// The toolkit's state for one run of the game: window timers, queued clicks, decoded images
// and the marks that tell render devices apart.
//
// Callers may rely on:
//  - a runtime is current from its construction until its destruction; the one made last wins,
//    and destroying it makes the one before current again (in whatever order they die);
//  - the frame owns one for its life; programs and tests that use widgets without a frame make
//    their own;
//  - on destruction the services go in this order while the runtime is still current: timers,
//    clicks, images nobody else holds, device marks; widgets that outlive it (static windows)
//    find no current runtime, or another one, and have nothing left to cancel there;
//  - with no current runtime, timers are not set, clicks are not queued and images are decoded
//    without being shared.
// Single UI thread.
#include <optional>

#include "platform/toolkit/clickqueue.h"
#include "platform/toolkit/deviceregistry.h"
#include "platform/toolkit/texturecache.h"
#include "platform/toolkit/timerqueue.h"

namespace plat {

class Runtime {
 public:
  Runtime();
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // The live runtime made last; null when none lives.
  static Runtime* Current();

  TimerQueue& Timers() { return m_services->timers; }
  ClickQueue& Clicks() { return m_services->clicks; }
  TextureCache& Textures() { return m_services->textures; }
  DeviceRegistry& Devices() { return m_services->devices; }

 private:
  // Declared in the order of need: what dies first comes last.
  struct Services {
    DeviceRegistry devices;
    TextureCache textures;
    ClickQueue clicks;
    TimerQueue timers;
  };

  std::optional<Services> m_services;
  Runtime* m_previous;
};

}  // namespace plat
