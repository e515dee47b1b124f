#include "platform/toolkit/sdlguiinput.h"

#include <SDL.h>

#include <guichan/key.hpp>

#include "platform/text/textconv.h"
#include "platform/time/clock.h"

namespace plat {

int SdlKeyToGcn(int sym) {
  switch (sym) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return gcn::Key::ENTER;
    case SDLK_TAB: return gcn::Key::TAB;
    case SDLK_BACKSPACE: return gcn::Key::BACKSPACE;
    case SDLK_DELETE: return gcn::Key::DELETE;
    case SDLK_ESCAPE: return gcn::Key::ESCAPE;
    case SDLK_LEFT: return gcn::Key::LEFT;
    case SDLK_RIGHT: return gcn::Key::RIGHT;
    case SDLK_UP: return gcn::Key::UP;
    case SDLK_DOWN: return gcn::Key::DOWN;
    case SDLK_HOME: return gcn::Key::HOME;
    case SDLK_END: return gcn::Key::END;
    case SDLK_PAGEUP: return gcn::Key::PAGE_UP;
    case SDLK_PAGEDOWN: return gcn::Key::PAGE_DOWN;
    case SDLK_INSERT: return gcn::Key::INSERT;
    case SDLK_LSHIFT: return gcn::Key::LEFT_SHIFT;
    case SDLK_RSHIFT: return gcn::Key::RIGHT_SHIFT;
    case SDLK_LCTRL: return gcn::Key::LEFT_CONTROL;
    case SDLK_RCTRL: return gcn::Key::RIGHT_CONTROL;
    case SDLK_LALT: return gcn::Key::LEFT_ALT;
    case SDLK_RALT: return gcn::Key::RIGHT_ALT;
    case SDLK_LGUI: return gcn::Key::LEFT_META;
    case SDLK_RGUI: return gcn::Key::RIGHT_META;
    default: break;
  }
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return gcn::Key::F1 + (sym - SDLK_F1);
  return 0;
}

bool SdlGuiInput::isKeyQueueEmpty() {
  return m_keys.empty() || (!m_mouse.empty() && m_mouse.front().seq < m_keys.front().seq);
}

bool SdlGuiInput::isMouseQueueEmpty() {
  return m_mouse.empty() || (!m_keys.empty() && m_keys.front().seq < m_mouse.front().seq);
}

gcn::KeyInput SdlGuiInput::dequeueKeyInput() {
  if (m_keys.empty()) return gcn::KeyInput();
  gcn::KeyInput k = m_keys.front().input;
  m_keys.pop_front();
  return k;
}

gcn::MouseInput SdlGuiInput::dequeueMouseInput() {
  if (m_mouse.empty()) return gcn::MouseInput();
  gcn::MouseInput m = m_mouse.front().input;
  m_mouse.pop_front();
  return m;
}

void SdlGuiInput::QueueMouse(unsigned button, unsigned type, int x, int y) {
  m_x = x;
  m_y = y;
  m_mouse.push_back({m_seq++, gcn::MouseInput(button, type, x, y, static_cast<int>(GetClock().NowMs()))});
}

void SdlGuiInput::QueueKey(int value, unsigned type) {
  gcn::KeyInput k(gcn::Key(value), type);
  k.setShiftPressed(m_shift);
  k.setControlPressed(m_ctrl);
  k.setAltPressed(m_alt);
  k.setMetaPressed(m_meta);
  m_keys.push_back({m_seq++, k});
}

void SdlGuiInput::InjectMouseMove(int x, int y) { QueueMouse(gcn::MouseInput::EMPTY, gcn::MouseInput::MOVED, x, y); }

void SdlGuiInput::InjectMousePress(int x, int y, unsigned button) {
  QueueMouse(button, gcn::MouseInput::PRESSED, x, y);
}

void SdlGuiInput::InjectMouseRelease(int x, int y, unsigned button) {
  QueueMouse(button, gcn::MouseInput::RELEASED, x, y);
}

void SdlGuiInput::InjectWheel(int x, int y, int steps) {
  const unsigned type = steps > 0 ? gcn::MouseInput::WHEEL_MOVED_UP : gcn::MouseInput::WHEEL_MOVED_DOWN;
  for (int i = 0; i < (steps > 0 ? steps : -steps); ++i) QueueMouse(gcn::MouseInput::EMPTY, type, x, y);
}

void SdlGuiInput::InjectClick(int x, int y) {
  InjectMouseMove(x, y);
  InjectMousePress(x, y);
  InjectMouseRelease(x, y);
}

void SdlGuiInput::InjectKey(int value) {
  QueueKey(value, gcn::KeyInput::PRESSED);
  QueueKey(value, gcn::KeyInput::RELEASED);
}

void SdlGuiInput::InjectText(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    int cp = wide[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    InjectKey(cp);
  }
}

namespace {
unsigned SdlButton(Uint8 b) {
  switch (b) {
    case SDL_BUTTON_LEFT: return gcn::MouseInput::LEFT;
    case SDL_BUTTON_RIGHT: return gcn::MouseInput::RIGHT;
    case SDL_BUTTON_MIDDLE: return gcn::MouseInput::MIDDLE;
    default: return gcn::MouseInput::EMPTY;
  }
}
}  // namespace

bool SdlGuiInput::PushEvent(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_MOUSEMOTION:
      InjectMouseMove(ev.motion.x, ev.motion.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const unsigned b = SdlButton(ev.button.button);
      if (b == gcn::MouseInput::EMPTY) return false;
      QueueMouse(b, ev.type == SDL_MOUSEBUTTONDOWN ? gcn::MouseInput::PRESSED : gcn::MouseInput::RELEASED,
                 ev.button.x, ev.button.y);
      return true;
    }
    case SDL_MOUSEWHEEL:
      if (ev.wheel.y == 0) return false;
      InjectWheel(m_x, m_y, ev.wheel.y);
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = ev.type == SDL_KEYDOWN;
      const SDL_Keymod mod = static_cast<SDL_Keymod>(ev.key.keysym.mod);
      m_shift = (mod & KMOD_SHIFT) != 0;
      m_ctrl = (mod & KMOD_CTRL) != 0;
      m_alt = (mod & KMOD_ALT) != 0;
      m_meta = (mod & KMOD_GUI) != 0;
      int value = SdlKeyToGcn(ev.key.keysym.sym);
      // Printable keys arrive as SDL_TEXTINPUT, unless a modifier holds them (Ctrl+C).
      if (value == 0 && (m_ctrl || m_alt) && ev.key.keysym.sym > 0 && ev.key.keysym.sym < 0x7F)
        value = ev.key.keysym.sym;
      if (value == 0) return false;
      QueueKey(value, down ? gcn::KeyInput::PRESSED : gcn::KeyInput::RELEASED);
      return true;
    }
    case SDL_TEXTINPUT:
      InjectText(ev.text.text);
      return true;
    default:
      return false;
  }
}

}  // namespace plat
