#include "client/core/gameclientapp.h"

#include "client/core/gameclientdlg.h"

namespace {
// Constructed during static initialisation so the frame finds it as the current application.
CGameClientApp theApp;
}  // namespace

std::uint32_t CGameClientApp::QueryRuleButton() { return plat::kFrameFlagRuleButton; }
std::uint32_t CGameClientApp::QueryChatView() { return plat::kFrameFlagChatView; }
std::uint32_t CGameClientApp::QueryUserFaces() { return plat::kFrameFlagUserFaces; }
std::uint32_t CGameClientApp::QueryStatusLine() { return plat::kFrameFlagStatusLine; }
std::uint32_t CGameClientApp::QueryLookOn() { return plat::kFrameFlagLookOn; }
std::uint32_t CGameClientApp::QueryBankWindow() { return plat::kFrameFlagBankWindow; }
std::uint32_t CGameClientApp::QueryFrameRate() { return 0; }
std::uint32_t CGameClientApp::QueryMessagesPerStep() { return 0; }
std::uint32_t CGameClientApp::QueryStatusTimeoutMs() { return kStatusTimeoutMs; }

CGameFrameDlg* CGameClientApp::CreateGameFrameDlg() { return new CGameClientDlg(); }

CGameClientApp& GetGameClientApp() { return theApp; }
