#pragma once
// The frame's top widget window: the whole game area. It holds the game view, the chat panel,
// the bank window, the frame's buttons and whatever the game attaches (the message view).
#include <functional>

#include "platform/toolkit/orvhgewindow.h"

namespace plat {

constexpr int kGameAreaWidth = 1280;
constexpr int kGameAreaHeight = 720;

class FrameTopWindow : public OrvHgeWindow {
 public:
  // The process has one; it exists from first use on, also with no frame running.
  static FrameTopWindow& Instance();

  // Clicks on the frame's own buttons (children of this window) go here.
  void SetCommandHandler(std::function<void(int)> handler) { m_onCommand = std::move(handler); }
  void OnCommand(int id) override;

 private:
  FrameTopWindow();
  std::function<void(int)> m_onCommand;
};

}  // namespace plat
