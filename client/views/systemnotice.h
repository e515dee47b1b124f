#pragma once
// The notice band: announcements scrolling right to left, queued a fixed gap apart.
//
// Positions of a notice (start x, travelled, tail) are measured from the band's left edge: a
// fresh notice starts at the band's width, counts as entered once it passes it, and is finished
// when its right edge reaches 0. Draw places the text at band x + that position, so it enters at
// the band's right edge on screen. The module keeps the running notices and the last texts for
// replay. Single UI thread: the dialog and the drawing must call in from the same thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class HGE;
class GfxFont;

class CSystemNotice {
 public:
  static constexpr int kBandWidth = 495;   // clip width, start position and entered threshold
  static constexpr int kBandHeight = 200;  // clip height; the clip's top is screen y 0
  static constexpr int kGap = 100;         // pixels between a text's end and the next start
  static constexpr float kSpeed = 100.0f;  // pixels per second
  static constexpr std::size_t kRecentLimit = 50;
  static constexpr std::size_t kReplayThreshold = 2;
  // Each notice owns a font of about 1.6 MB and a busy server announces faster than the band
  // scrolls, so the queue is capped; a dropped announcement stays in the recent texts for replay.
  static constexpr std::size_t kMaxActive = 16;
  static constexpr int kFontSize = 14;
  static constexpr std::uint32_t kTextColor = 0xFFB6B6B6;
  static constexpr float kBandX = 250.0f;  // where the dialog and the replay put the band
  static constexpr float kBandY = 78.0f;

  enum State { kFinished = 0, kScrolling = 1 };

  CSystemNotice();
  ~CSystemNotice();
  CSystemNotice(const CSystemNotice&) = delete;
  CSystemNotice& operator=(const CSystemNotice&) = delete;

  void Init();
  // x: left edge of the band on screen; y: top of the text line. textGbk is GBK.
  void SetText(std::string textGbk, float x, float y);
  // Hands the notice to the active list, which owns and deletes it from then on: only for
  // notices made with new. A notice already in the list stays where it is.
  void Start(bool priority);
  void Update(float dt);
  void Draw();
  bool IsFinished() const { return m_state == kFinished; }
  float CurrentX() const;
  int TailX() const;
  void Shift(float d);

  // Read access for the band's owner and for tests.
  float X() const { return m_x; }
  float Y() const { return m_y; }
  float StartX() const { return m_startX; }
  int TravelTarget() const { return m_travelTarget; }
  int Travelled() const { return m_travelled; }
  int Width() const { return m_width; }
  bool IsPriority() const { return m_priority; }
  bool HasEntered() const { return m_entered; }
  const std::string& Text() const { return m_text; }
  const GfxFont* Font() const { return m_font.get(); }

  // Module operations.
  // A full band starts nothing and copies nothing.
  static void AddNotice(std::string_view textGbk, bool priority, float x, float y);
  // Keeps the newest kRecentLimit texts; once full, the oldest one's storage takes the new one.
  static void RememberText(std::string_view textGbk);
  static void UpdateAndDrawAll();
  static void ReplayRandomNotice();
  // Deletes every running notice and forgets the remembered texts. Call before the render
  // device goes away: the notices' fonts hold its textures.
  static void ClearAll();
  static const std::vector<std::unique_ptr<CSystemNotice>>& ActiveNotices();
  static const std::vector<std::string>& RecentTexts();

 private:
  void JoinBehind(const CSystemNotice& last);

  HGE* m_hge = nullptr;
  float m_x = 0.0f;
  float m_y = 0.0f;
  float m_startX = 0.0f;
  float m_drawY = 0.0f;
  int m_state = kFinished;
  std::string m_text;
  std::unique_ptr<GfxFont> m_font;
  int m_travelTarget = 0;
  int m_travelled = 0;
  int m_width = 0;
  bool m_priority = false;
  bool m_entered = false;
};
