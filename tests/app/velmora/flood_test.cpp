// The velmora program against a hostile server that floods it with large messages for the
// whole run: the run ends on time, its resident memory stays bounded, and the flood is called
// one.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/common/floodrun.h"

namespace {

// AddressSanitizer's shadow memory and quarantine (256 MB) add to the resident size; an
// unbounded queue would still pass gigabytes.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kMaxPeakMb = 1024;
#else
constexpr double kMaxPeakMb = 400;
#endif

TEST(FloodTest, TheProgramEndsOnTimeWithBoundedMemoryAndCallsTheFloodOne) {
  veltest::FloodServer server;
  ASSERT_NE(server.Port(), 0);
  constexpr double kSeconds = 8;
  const veltest::ProgramRun run =
      veltest::RunProgram(VELMORA_BINARY,
                          {"--assets", VELMORA_ASSET_DIR, "--connect", "127.0.0.1:" + std::to_string(server.Port()),
                           "--plain", "--name", "flood", "--password-file", server.PasswordFile(), "--headless", "--seconds",
                           "8"},
                          60);
  std::printf("flood: %.1f s run, peak resident %.1f MB, %.1f MB offered by the server\n", run.seconds, run.peakMb,
              static_cast<double>(server.BytesSent()) / (1 << 20));
  ASSERT_TRUE(run.ended) << "the program did not end within 60 s";
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_LT(run.seconds, kSeconds + 7) << "the run overran its time limit";
  EXPECT_LT(run.peakMb, kMaxPeakMb);
  EXPECT_NE(run.err.find("flood"), std::string::npos) << run.err;
}

}  // namespace
