#include "app/shots/gallerydialog.h"

#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"

namespace shots {
namespace {

constexpr std::uint32_t kPlayerId = 1;
constexpr std::uint32_t kPlayerCoins = 500000;

}  // namespace

GalleryDialog::GalleryDialog() : CGameFrameDlg(&m_view) {
  const tagUserData me = plat::MakeUserData(kPlayerId, plat::Utf8ToGbk("画廊"), kPlayerCoins, 0);
  SetMeUserData(&me);
  CGlobalUnits::s_pGameFrameDlg = this;
}

GalleryDialog::~GalleryDialog() { CGlobalUnits::s_pGameFrameDlg = nullptr; }

}  // namespace shots
