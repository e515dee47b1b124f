#include "platform/frame/gameframedlg.h"

#include "platform/frame/chatwiew.h"
#include "platform/frame/transport.h"

CGameFrameDlg::CGameFrameDlg(CGameFrameView* view) : m_pGameView(view) {}

CGameFrameDlg::~CGameFrameDlg() = default;

LRESULT CGameFrameDlg::WindowProc(UINT, WPARAM, LPARAM) { return 0; }

void CGameFrameDlg::OnGameRule() {}

CChatWiew* CGameFrameDlg::CreateChatView() { return new CChatWiew(); }

bool CGameFrameDlg::OnEscapeKey() { return false; }
bool CGameFrameDlg::OnQueryCanResize() { return false; }

bool CGameFrameDlg::OnQueryCanLeave() { return true; }

void CGameFrameDlg::OnEventFrameReady() {}

void CGameFrameDlg::OnEventFrameClosing() {}

bool CGameFrameDlg::OnFrameMessage(std::uint16_t, const void*, std::uint16_t) { return false; }

void CGameFrameDlg::OnEventUserEnter(const tagUserData*, std::uint16_t, bool) {}

bool CGameFrameDlg::IsValid() const { return plat::LiveMark<CGameFrameDlg>::IsLive(this); }

bool CGameFrameDlg::SendData(std::uint16_t subCmd, const void* data, std::uint16_t size,
                             std::uint16_t mainCmd) {
  if (m_pTransport == nullptr || (data == nullptr && size != 0)) return false;
  return m_pTransport->Send(mainCmd, subCmd, static_cast<const std::uint8_t*>(data), size);
}

bool CGameFrameDlg::IsConnected() const { return m_pTransport != nullptr && m_pTransport->IsConnected(); }

const tagUserData* CGameFrameDlg::GetMeUserData() const {
  return m_meUser ? &*m_meUser : nullptr;
}

void CGameFrameDlg::SetOrvGameView(COrvGameFrameView* view) { m_pOrvView = view; }

void CGameFrameDlg::SetMeUserData(const tagUserData* user) {
  if (user != nullptr) {
    m_meUser = *user;
    // A record from outside may lack its terminator; the game reads it as a C string.
    m_meUser->szNickName[kNickNameSize - 1] = '\0';
  } else {
    m_meUser.reset();
  }
}
