#include "client/views/systemnotice.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

#include "client/views/gfxfont.h"
#include "platform/render/hge.h"
#include "platform/text/textconv.h"

namespace {

struct TickerState {
  std::vector<std::unique_ptr<CSystemNotice>> active;  // front = leftmost (oldest)
  std::vector<std::string> recent;                     // oldest first
};

// Never destroyed by static teardown: the notices' fonts free textures of a render device that
// may already be gone by then. ClearAll is the orderly way out.
TickerState& Ticker() {
  static TickerState* state = new TickerState;
  return *state;
}

const std::string& FaceGbk() {
  static const std::string face = plat::Utf8ToGbk("宋体");
  return face;
}

constexpr bool kBold = true;
constexpr bool kItalic = false;
constexpr bool kAntialias = false;

// Truncation towards zero that saturates instead of overflowing.
int TruncToInt(double v) {
  if (!(v == v)) return 0;
  constexpr double kMax = std::numeric_limits<int>::max();
  constexpr double kMin = std::numeric_limits<int>::min();
  return static_cast<int>(std::clamp(v, kMin, kMax));
}

}  // namespace

CSystemNotice::CSystemNotice() = default;

CSystemNotice::~CSystemNotice() {
  m_font.reset();
  if (m_hge) m_hge->Release();
}

void CSystemNotice::Init() {
  m_font.reset();
  if (m_hge) m_hge->Release();
  m_hge = hgeCreate(HGE_VERSION);
  m_font = std::make_unique<GfxFont>(FaceGbk().c_str(), kFontSize, kBold, kItalic, kAntialias);
  m_font->SetDrawColor(kTextColor, -1);
  m_state = kFinished;
  m_entered = false;
}

void CSystemNotice::SetText(std::string textGbk, float x, float y) {
  m_text = std::move(textGbk);
  m_x = x;
  m_y = y;
  m_state = kScrolling;
  m_width = m_font ? m_font->MeasureWidth(m_text.c_str()) : 0;
  m_travelTarget = m_width + kBandWidth;
  m_travelled = 0;
  m_startX = static_cast<float>(kBandWidth);
}

void CSystemNotice::JoinBehind(const CSystemNotice& last) {
  const int tail = last.TailX();
  if (m_startX > static_cast<float>(tail)) {
    m_travelTarget = m_width + kBandWidth;
  } else {
    m_startX = static_cast<float>(tail);
    m_travelTarget = TruncToInt(static_cast<double>(tail) + m_width);
  }
}

void CSystemNotice::Start(bool priority) {
  auto& active = Ticker().active;
  const auto mine = [this](const std::unique_ptr<CSystemNotice>& n) { return n.get() == this; };
  if (std::any_of(active.begin(), active.end(), mine)) return;

  m_priority = priority;
  std::unique_ptr<CSystemNotice> self(this);
  if (active.empty()) {
    active.push_back(std::move(self));
    return;
  }
  if (!priority) {
    JoinBehind(*active.back());
    active.push_back(std::move(self));
    return;
  }

  // A priority notice takes the place of the first normal notice still waiting to enter and
  // pushes it and everything behind it back; it never overtakes a priority or entered one.
  const auto waiting = std::find_if(active.begin(), active.end(), [](const auto& n) {
    return !n->m_priority && !n->m_entered;
  });
  if (waiting == active.end()) {
    JoinBehind(*active.back());
    active.push_back(std::move(self));
    return;
  }
  m_startX = (*waiting)->CurrentX();
  m_travelTarget = TruncToInt(static_cast<double>(m_width) + m_startX);
  const float push = static_cast<float>(m_width + kGap);
  for (auto it = waiting; it != active.end(); ++it) (*it)->Shift(push);
  active.insert(waiting, std::move(self));
}

void CSystemNotice::Update(float dt) {
  if (m_state != kScrolling) return;
  // Whole pixels, the fraction dropped every frame: faster than 100 fps never moves.
  const float step = dt > 0.0f ? dt * kSpeed : 0.0f;
  m_travelled = TruncToInt(static_cast<float>(m_travelled) + step);
  if (m_travelled >= m_travelTarget) m_state = kFinished;
  m_entered = CurrentX() < static_cast<float>(kBandWidth);
}

void CSystemNotice::Draw() {
  if (!m_hge || !m_font) return;
  Update(m_hge->Timer_GetDelta());
  if (m_state == kFinished) return;
  m_hge->Gfx_SetClipping(TruncToInt(m_x), 0, kBandWidth, kBandHeight);
  m_drawY = m_y;
  // Positions are band-relative and the clip is in screen coordinates: shift by the band's x.
  m_font->DrawFormatted(m_x + CurrentX(), m_drawY, "%s", m_text.c_str());
  m_hge->Gfx_SetClipping(0, 0, 0, 0);
}

float CSystemNotice::CurrentX() const { return m_startX - static_cast<float>(m_travelled); }

int CSystemNotice::TailX() const {
  return TruncToInt(static_cast<double>(CurrentX()) + m_width + kGap);
}

void CSystemNotice::Shift(float d) {
  m_startX += d;
  m_travelTarget = TruncToInt(static_cast<double>(m_travelTarget) + d);
}

void CSystemNotice::AddNotice(std::string_view textGbk, bool priority, float x, float y) {
  if (Ticker().active.size() >= kMaxActive) return;
  auto* notice = new CSystemNotice;
  notice->Init();
  notice->SetText(std::string(textGbk), x, y);
  notice->Start(priority);  // the active list owns it now
}

void CSystemNotice::RememberText(std::string_view textGbk) {
  auto& recent = Ticker().recent;
  if (recent.size() < kRecentLimit) {
    recent.emplace_back(textGbk);
    return;
  }
  std::rotate(recent.begin(), recent.begin() + 1, recent.end());
  recent.back().assign(textGbk);
}

void CSystemNotice::UpdateAndDrawAll() {
  auto& active = Ticker().active;
  for (std::size_t i = 0; i < active.size();) {
    if (active[i]->IsFinished()) {
      // Out of the list first, then deleted: it leaves the list whatever its teardown does.
      std::unique_ptr<CSystemNotice> done = std::move(active[i]);
      active.erase(active.begin() + static_cast<std::ptrdiff_t>(i));
      done.reset();
      continue;
    }
    active[i]->Draw();
    ++i;
  }
}

void CSystemNotice::ReplayRandomNotice() {
  const auto& state = Ticker();
  if (state.recent.empty() || state.active.size() >= kReplayThreshold) return;
  const std::size_t index = static_cast<std::size_t>(std::rand()) % state.recent.size();
  AddNotice(state.recent[index], true, kBandX, kBandY);
}

void CSystemNotice::ClearAll() {
  auto& state = Ticker();
  // Moved out first so that a notice's teardown never sees a half-cleared list.
  auto doomed = std::move(state.active);
  state.active.clear();
  doomed.clear();
  state.recent.clear();
}

const std::vector<std::unique_ptr<CSystemNotice>>& CSystemNotice::ActiveNotices() {
  return Ticker().active;
}

const std::vector<std::string>& CSystemNotice::RecentTexts() { return Ticker().recent; }
