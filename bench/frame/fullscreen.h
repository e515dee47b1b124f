#pragma once
// Puts everything the game can show on screen at once: six candidate tiles
// and the lot, both message tabs filled, two notices running, the
// description callout of a tile and a message box open.
namespace veltest {
class HeadlessClient;
}

namespace velbench {

void ShowEverything(veltest::HeadlessClient& client);

}  // namespace velbench
