#pragma once
// Puts everything the game can show on screen at once: six candidate tiles
// and the lot, both message tabs filled, two notices running, the
// description callout of a tile and a message box open.
namespace velfuzz {
class HeadlessClient;
}

namespace velbench {

void ShowEverything(velfuzz::HeadlessClient& client);

}  // namespace velbench
