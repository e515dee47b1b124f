#pragma once
// Scripted input for the real program, windowed or headless: one event a line,
// "FRAME ACTION ARGS", frames counted from 1 (the first frame step). Actions:
//   move X Y     the pointer moves to (X, Y)
//   click X Y    the left button is pressed and released at (X, Y) (after a move there)
//   key NAME     an SDL key name (Escape, F1, Return, A, Space...) pressed and released
//   text STRING  the rest of the line, UTF-8, typed character by character
// Coordinates are game pixels (1280 x 720) whatever the window's size. Blank lines and lines
// starting with '#' are skipped. Events of one frame keep their order; the frame hands a
// frame's events to the input queue at the start of that frame's input phase, so the same
// script gives the same input at the same frames on every run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class SdlGuiInput;

struct ScriptEvent {
  enum class Kind { Move, Click, Key, Text };
  std::uint64_t frame = 0;
  Kind kind = Kind::Move;
  int x = 0;
  int y = 0;
  int key = 0;       // gcn::Key value
  std::string text;  // UTF-8
};

class InputScript {
 public:
  static constexpr int kMaxCoordinate = 100000;

  // Parses a whole script. False with "line N: why" in *error on the first bad line.
  bool Parse(const std::string& text, std::string* error);
  bool LoadFile(const std::string& path, std::string* error);

  // Queues the events of `frame` on `input`, in script order. Frames must come in increasing
  // order; earlier frames that were skipped are not replayed.
  std::size_t InjectFrame(std::uint64_t frame, SdlGuiInput& input);

  const std::vector<ScriptEvent>& Events() const { return m_events; }
  bool Done() const { return m_next >= m_events.size(); }

  // The gcn::Key value of an SDL key name, or 0 when it has none.
  static int KeyFromName(const std::string& name);

 private:
  std::vector<ScriptEvent> m_events;  // sorted by frame, script order within a frame
  std::size_t m_next = 0;
};

}  // namespace plat
