// velmora: the game. Starts its own auction server unless told to join one, opens the game
// window (or runs headless) and plays until the window closes or a limit is reached.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/velmora/appenvironment.h"
#include "app/velmora/appoptions.h"
#include "app/velmora/gamestate.h"
#include "app/velmora/gamesession.h"
#include "app/velmora/password.h"
#include "platform/memory/hugepages.h"
#include "platform/text/textconv.h"

namespace {

std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }

}  // namespace

int main(int argc, char** argv) {
  plat::StartAgainWithHugePageHeap(argv);  // before anything is allocated that matters
  const std::vector<std::string> args(argv + 1, argv + argc);
  velapp::AppOptions options;
  std::string error;
  switch (velapp::ParseAppOptions(args, &options, &error)) {
    case velapp::ParseOutcome::Help:
      std::fputs(velapp::HelpText().c_str(), stdout);
      std::fputs(("\n" + velapp::DescribeDefaults()).c_str(), stdout);
      return 0;
    case velapp::ParseOutcome::Error:
      std::fprintf(stderr, "velmora: %s (see velmora --help)\n", error.c_str());
      return 2;
    case velapp::ParseOutcome::Run:
      break;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  if (!options.embeddedServer) {
    const bool read = !options.passwordFile.empty()
                          ? velapp::ReadPasswordFile(options.passwordFile, &options.password, &error)
                          : velapp::PromptPassword("Password for " + options.host + ":" + std::to_string(options.port) + ": ",
                                                   &options.password, &error);
    if (!read) {
      std::fprintf(stderr, "velmora: %s\n", error.c_str());
      return 1;
    }
  }
  velapp::GameSession session(options);
  if (!session.Start(&error)) {
    std::fprintf(stderr, "velmora: %s\n", error.c_str());
    return 1;
  }
  session.Run(&g_stop);
  int status = 0;
  if (session.Transport().GetState() == plat::TcpTransport::State::Refused) {
    std::fprintf(stderr, "velmora: login refused: %s\n",
                 session.Transport().RefusalText().c_str());
    status = 1;
  }
  if (!options.screenshot.empty() && !session.SaveScreenshot(options.screenshot, &error)) {
    std::fprintf(stderr, "velmora: %s\n", error.c_str());
    status = 1;
  }
  if (!options.stateJson.empty() && !velapp::WriteGameStateJson(session, options.stateJson, &error)) {
    std::fprintf(stderr, "velmora: %s\n", error.c_str());
    status = 1;
  }
  for (const std::string& failure : session.ShotFailures()) {
    std::fprintf(stderr, "velmora: %s\n", failure.c_str());
    status = 1;
  }
  session.Shutdown();
  return status;
}
