#pragma once
// guichan input fed from SDL2 events, or injected by scripts and tests (headless runs).
//
// Callers may rely on:
//  - PushEvent takes SDL mouse (motion, buttons, wheel), key and text-input events; printable
//    characters come from SDL_TEXTINPUT (one key per code point, so Chinese text arrives as
//    its code points), keys without text (Enter, Backspace, arrows...) from SDL_KEYDOWN/UP;
//  - the Inject* calls queue the same guichan input directly; Click(x, y) is a move, a press
//    and a release at (x, y);
//  - time stamps come from plat::GetClock();
//  - events reach guichan in the order they were queued, also across the two kinds:
//    gcn::Gui::logic takes all keys before all mouse input, so the queue answers "empty" for
//    the kind whose next event is younger than the other kind's; the rest follows at the next
//    logic. (A click into an edit field and the typing after it thus arrive in that order.)
#include <cstdint>
#include <deque>
#include <string>

#include <guichan/input.hpp>
#include <guichan/keyinput.hpp>
#include <guichan/mouseinput.hpp>

union SDL_Event;

namespace plat {

class SdlGuiInput : public gcn::Input {
 public:
  // gcn::Input
  bool isKeyQueueEmpty() override;
  gcn::KeyInput dequeueKeyInput() override;
  bool isMouseQueueEmpty() override;
  gcn::MouseInput dequeueMouseInput() override;
  void _pollInput() override {}

  // Returns true when the event was turned into guichan input.
  bool PushEvent(const SDL_Event& event);

  void InjectMouseMove(int x, int y);
  void InjectMousePress(int x, int y, unsigned button = gcn::MouseInput::LEFT);
  void InjectMouseRelease(int x, int y, unsigned button = gcn::MouseInput::LEFT);
  void InjectWheel(int x, int y, int steps);  // steps > 0 up, < 0 down
  void InjectClick(int x, int y);
  // A key press and release; value is a gcn::Key value (a character or Key::ENTER...).
  void InjectKey(int value);
  // Each code point of a UTF-8 text as one key press and release.
  void InjectText(const std::string& utf8);

  int MouseX() const { return m_x; }
  int MouseY() const { return m_y; }
  std::size_t Pending() const { return m_keys.size() + m_mouse.size(); }

 private:
  void QueueMouse(unsigned button, unsigned type, int x, int y);
  void QueueKey(int value, unsigned type);

  template <typename T>
  struct Queued {
    std::uint64_t seq;
    T input;
  };
  std::deque<Queued<gcn::KeyInput>> m_keys;
  std::deque<Queued<gcn::MouseInput>> m_mouse;
  std::uint64_t m_seq = 0;
  int m_x = 0, m_y = 0;
  bool m_shift = false, m_ctrl = false, m_alt = false, m_meta = false;
};

// gcn::Key value of an SDL key without text (0 when it has none).
int SdlKeyToGcn(int sdlKeycode);

}  // namespace plat
