#pragma once
// The small set of window-message types the game code uses, sized for a 64-bit Linux host.
#include <cstdint>

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// First message number free for application use; the game's requests are WM_USER + n.
constexpr UINT WM_USER = 0x0400;
