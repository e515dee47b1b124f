// Start-up time: from entering main to the first drawn frame, with every
// image, font and the description catalogue loaded. Prints milliseconds;
// run it a few times (the game's windows exist once per process).
// Time before main (loading the binary, static set-up) is not included;
// docs/performance.md times the whole process from outside as well.
#include <chrono>
#include <cstdio>

#include "testing/headlessclient.h"

int main() {
  const auto start = std::chrono::steady_clock::now();
  veltest::HeadlessClient client;
  client.ResetScene();  // the scene arrives and the first frame is drawn
  const auto drawn = std::chrono::steady_clock::now();
  std::fprintf(stderr, "startup_ms %.2f\n", std::chrono::duration<double, std::milli>(drawn - start).count());
  return client.Frame().IsRunning() ? 0 : 1;
}
