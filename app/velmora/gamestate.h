#pragma once
// The game's state as one JSON object, for scripted runs (--state-json) and the end-to-end
// tests that read it: coins, the lot on sale, the buy panel, the message box, the open
// windows, the description callout, the two message lists and the connection.
#include <string>

namespace velapp {

class GameSession;

std::string GameStateJson(const GameSession& session);
// Writes GameStateJson to `path`; false with a reason.
bool WriteGameStateJson(const GameSession& session, const std::string& path, std::string* error);

}  // namespace velapp
