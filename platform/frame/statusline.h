#pragma once
// The frame's one-line message over the game area (lost connection, leave refused, ...).
#include <cstdint>
#include <string>

namespace gcn {
class Font;
class Graphics;
}  // namespace gcn

namespace plat {

class StatusLine {
 public:
  static constexpr int kTop = 8;
  static constexpr int kPadX = 12;
  static constexpr int kPadY = 4;

  // A transient text disappears `timeoutMs` after nowMs; a persistent one stays until replaced
  // or cleared. Empty text clears.
  void Show(const std::string& textGbk, bool persistent, std::uint64_t nowMs,
            std::uint64_t timeoutMs);
  void Clear() { m_text.clear(); }
  // Drops a transient text whose time is over.
  void Update(std::uint64_t nowMs);
  bool IsShown() const { return !m_text.empty(); }
  const std::string& Text() const { return m_text; }  // GBK
  bool IsPersistent() const { return m_persistent; }

  // A dark band centred at the top of a screen `screenWidth` wide, the text inside it.
  void Draw(gcn::Graphics* graphics, gcn::Font* font, int screenWidth) const;

 private:
  std::string m_text;
  bool m_persistent = false;
  std::uint64_t m_expiresMs = 0;
};

}  // namespace plat
