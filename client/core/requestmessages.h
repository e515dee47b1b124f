#pragma once
// Window messages by which the views ask the dialog to send a request, and the two window
// timers the dialog runs on the main view.
#include "platform/frame/wintypes.h"

// Sent synchronously: (goods id, shares).
constexpr UINT WM_BUY_REQ = WM_USER + 100;
// Sent synchronously: (goods id, 0); the second argument is not read.
constexpr UINT WM_BUY_ALL_REQ = WM_USER + 101;
// Posted: (goods id, like count).
constexpr UINT WM_LIKE_REQ = WM_USER + 102;

static_assert(WM_BUY_REQ == 0x464 && WM_BUY_ALL_REQ == 0x465 && WM_LIKE_REQ == 0x466,
              "request message numbers are fixed");

// One shot, 1000 ms: ends the lock-out of the buy controls after a purchase request.
constexpr unsigned IDT_BUY_COOLDOWN = 1;
constexpr unsigned IDT_COUNTDOWN = 2;  // repeating, 1000 ms: the current lot's seconds left
constexpr unsigned kBuyCooldownMs = 1000;
constexpr unsigned kCountdownMs = 1000;
