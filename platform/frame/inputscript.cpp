#include "platform/frame/inputscript.h"
#include "platform/text/decimal.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/toolkit/sdlguiinput.h"

namespace plat {

namespace {

// Scripts are small; a bigger file is a mistake, not a script.
constexpr std::size_t kMaxScriptBytes = 16u << 20;

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// Splits off the next space-separated word of `rest`.
std::string NextWord(std::string* rest) {
  const std::size_t start = rest->find_first_not_of(" \t");
  if (start == std::string::npos) {
    rest->clear();
    return std::string();
  }
  const std::size_t end = rest->find_first_of(" \t", start);
  std::string word = rest->substr(start, end == std::string::npos ? std::string::npos : end - start);
  *rest = end == std::string::npos ? std::string() : rest->substr(end);
  return word;
}

}  // namespace

int InputScript::KeyFromName(const std::string& name) {
  if (name.empty()) return 0;
  // One printable character names its own key, as typed without Shift.
  if (name.size() == 1 && name[0] > ' ' && name[0] < 0x7F) {
    const char c = name[0];
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
  }
  // The scancode table needs no initialised SDL, unlike the keymap behind SDL_GetKeyFromName.
  const SDL_Scancode sc = SDL_GetScancodeFromName(name.c_str());
  switch (sc) {
    case SDL_SCANCODE_UNKNOWN: return 0;
    case SDL_SCANCODE_RETURN: return SdlKeyToGcn(SDLK_RETURN);
    case SDL_SCANCODE_ESCAPE: return SdlKeyToGcn(SDLK_ESCAPE);
    case SDL_SCANCODE_BACKSPACE: return SdlKeyToGcn(SDLK_BACKSPACE);
    case SDL_SCANCODE_TAB: return SdlKeyToGcn(SDLK_TAB);
    case SDL_SCANCODE_DELETE: return SdlKeyToGcn(SDLK_DELETE);
    case SDL_SCANCODE_SPACE: return ' ';
    default: return SdlKeyToGcn(SDL_SCANCODE_TO_KEYCODE(sc));
  }
}

bool InputScript::Parse(const std::string& text, std::string* error) {
  std::vector<ScriptEvent> events;
  std::istringstream in(text);
  std::string raw;
  std::size_t lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    std::string rest = TrimRight(raw);
    const std::size_t first = rest.find_first_not_of(" \t");
    if (first == std::string::npos || rest[first] == '#') continue;

    ScriptEvent ev;
    long long n = 0;
    const std::string frameWord = NextWord(&rest);
    if (!plat::ParseDecimal(frameWord, 1, std::numeric_limits<int>::max(), &n))
      return fail("the frame must be a whole number of at least 1, got \"" + frameWord + "\"");
    ev.frame = static_cast<std::uint64_t>(n);
    const std::string action = NextWord(&rest);
    if (action == "move" || action == "click") {
      ev.kind = action == "move" ? ScriptEvent::Kind::Move : ScriptEvent::Kind::Click;
      long long x = 0, y = 0;
      const std::string xs = NextWord(&rest), ys = NextWord(&rest);
      if (!plat::ParseDecimal(xs, -kMaxCoordinate, kMaxCoordinate, &x) ||
          !plat::ParseDecimal(ys, -kMaxCoordinate, kMaxCoordinate, &y))
        return fail(action + " wants X Y in game pixels");
      if (!NextWord(&rest).empty()) return fail(action + " takes only X Y");
      ev.x = static_cast<int>(x);
      ev.y = static_cast<int>(y);
    } else if (action == "key") {
      ev.kind = ScriptEvent::Kind::Key;
      const std::string name = rest.substr(std::min(rest.size(), rest.find_first_not_of(" \t")));
      ev.key = KeyFromName(name);
      if (ev.key == 0) return fail("unknown key name \"" + name + "\"");
    } else if (action == "text") {
      ev.kind = ScriptEvent::Kind::Text;
      // One separating blank; everything after it is the text, blanks included.
      ev.text = rest.empty() ? std::string() : rest.substr(1);
      if (ev.text.empty()) return fail("text wants a string");
    } else {
      return fail("unknown action \"" + action + "\" (move, click, key or text)");
    }
    events.push_back(std::move(ev));
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  m_events = std::move(events);
  m_next = 0;
  return true;
}

bool InputScript::LoadFile(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = path + ": cannot read the input script";
    return false;
  }
  std::string text;
  char buffer[4096];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (text.size() > kMaxScriptBytes) {
      if (error) *error = path + ": the input script is too large";
      return false;
    }
  }
  std::string why;
  if (!Parse(text, &why)) {
    if (error) *error = path + ": " + why;
    return false;
  }
  return true;
}

std::size_t InputScript::InjectFrame(std::uint64_t frame, SdlGuiInput& input) {
  while (m_next < m_events.size() && m_events[m_next].frame < frame) ++m_next;
  std::size_t injected = 0;
  for (; m_next < m_events.size() && m_events[m_next].frame == frame; ++m_next, ++injected) {
    const ScriptEvent& ev = m_events[m_next];
    switch (ev.kind) {
      case ScriptEvent::Kind::Move: input.InjectMouseMove(ev.x, ev.y); break;
      case ScriptEvent::Kind::Click: input.InjectClick(ev.x, ev.y); break;
      case ScriptEvent::Kind::Key: input.InjectKey(ev.key); break;
      case ScriptEvent::Kind::Text: input.InjectText(ev.text); break;
    }
  }
  return injected;
}

}  // namespace plat
