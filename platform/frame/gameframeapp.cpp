#include "platform/frame/gameframeapp.h"

#include <algorithm>
#include <vector>

namespace {

// Live applications in construction order. Function-local so that an application built during
// static initialisation finds it ready, and it outlives every such application.
std::vector<CGameFrameApp*>& LiveApps() {
  static std::vector<CGameFrameApp*> apps;
  return apps;
}

std::uint32_t Bit(std::uint32_t answer, std::uint32_t flag) { return answer != 0 ? flag : 0; }

}  // namespace

CGameFrameApp::CGameFrameApp() { LiveApps().push_back(this); }

CGameFrameApp::~CGameFrameApp() {
  auto& apps = LiveApps();
  apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
}

std::uint32_t CGameFrameApp::QueryRuleButton() { return plat::kFrameFlagRuleButton; }
std::uint32_t CGameFrameApp::QueryChatView() { return plat::kFrameFlagChatView; }
std::uint32_t CGameFrameApp::QueryUserFaces() { return plat::kFrameFlagUserFaces; }
std::uint32_t CGameFrameApp::QueryStatusLine() { return plat::kFrameFlagStatusLine; }
std::uint32_t CGameFrameApp::QueryLookOn() { return plat::kFrameFlagLookOn; }
std::uint32_t CGameFrameApp::QueryBankWindow() { return plat::kFrameFlagBankWindow; }
std::uint32_t CGameFrameApp::QueryFrameRate() { return 0; }
std::uint32_t CGameFrameApp::QueryMessagesPerStep() { return 0; }
std::uint32_t CGameFrameApp::QueryStatusTimeoutMs() { return 0; }

plat::FrameConfig CGameFrameApp::LoadFrameConfig() {
  plat::FrameConfig cfg;
  cfg.flags = Bit(QueryRuleButton(), plat::kFrameFlagRuleButton) |
              Bit(QueryChatView(), plat::kFrameFlagChatView) |
              Bit(QueryUserFaces(), plat::kFrameFlagUserFaces) |
              Bit(QueryStatusLine(), plat::kFrameFlagStatusLine) |
              Bit(QueryLookOn(), plat::kFrameFlagLookOn) |
              Bit(QueryBankWindow(), plat::kFrameFlagBankWindow);
  const std::uint32_t rate = QueryFrameRate();
  cfg.frameRate = (rate == 0) ? plat::kDefaultFrameRate : std::min(rate, plat::kMaxFrameRate);
  cfg.messagesPerStep = QueryMessagesPerStep();
  const std::uint32_t timeout = QueryStatusTimeoutMs();
  cfg.statusTimeoutMs = (timeout == 0) ? plat::kDefaultStatusTimeoutMs : timeout;
  m_dwFrameFlags = cfg.flags;
  return cfg;
}

CGameFrameApp* CGameFrameApp::GetCurrent() {
  const auto& apps = LiveApps();
  return apps.empty() ? nullptr : apps.back();
}

CGameFrameApp* AfxGetApp() { return CGameFrameApp::GetCurrent(); }
