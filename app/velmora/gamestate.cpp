#include "app/velmora/gamestate.h"

#include <cstdio>
#include <fstream>

#include "app/velmora/gamesession.h"
#include "client/core/gameclientdlg.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/messageview.h"
#include "client/views/myedit.h"
#include "client/views/msgbox.h"
#include "client/views/sellrecord.h"
#include "platform/frame/bankview.h"
#include "platform/frame/gameframe.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgeedit.h"

namespace velapp {

namespace {

// A JSON string of UTF-8 text; control characters are escaped.
std::string Quote(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

bool Enabled(const OrvHgeButton* button) { return button != nullptr && button->isEnabled(); }

std::string LotJson(const CBSceneItem* lot) {
  if (lot == nullptr) return "null";
  return "{\"goods_id\": " + std::to_string(lot->goodsId) +
         ", \"goods_number\": " + std::to_string(lot->goodsNumber) +
         ", \"state\": " + std::to_string(lot->state) +
         ", \"seconds_left\": " + std::to_string(lot->secondsLeft) +
         ", \"total\": " + std::to_string(lot->totalShares) +
         ", \"sold\": " + std::to_string(lot->soldShares) +
         ", \"held\": " + std::to_string(lot->heldShares) + "}";
}

std::string PanelJson() {
  CBuyPanel& panel = GetBuyPanel();
  const CMyEdit* field = panel.ShareField();
  return std::string("{\"shown\": ") + Bool(panel.IsShown()) +
         ", \"chosen\": " + std::to_string(panel.GetChosenShares()) +
         ", \"minimum\": " + std::to_string(panel.GetMinShares()) +
         ", \"field\": " + Quote(field != nullptr ? plat::GbkToUtf8(field->getText()) : std::string()) +
         ", \"buy_enabled\": " + Bool(Enabled(panel.BuyButton())) +
         ", \"add_enabled\": " + Bool(Enabled(panel.AddButton())) +
         ", \"reduce_enabled\": " + Bool(Enabled(panel.ReduceButton())) +
         ", \"reason\": " + Quote(plat::GbkToUtf8(panel.BuyDisabledReason())) + "}";
}

std::string CalloutJson() {
  const CGoodsDescription& d = GetGoodsDescription();
  if (!d.IsShown()) return "null";
  return "{\"slot\": " + std::to_string(d.GetSlotIndex() + 1) + ", \"goods_id\": " +
         std::to_string(d.GetGoodsId()) + ", \"lot\": " + Bool(d.IsAnchored()) + "}";
}

}  // namespace

std::string GameStateJson(const GameSession& session) {
  const plat::GameFrame* frame = session.Frame();
  auto* dlg = frame != nullptr ? dynamic_cast<CGameClientDlg*>(frame->Dialog()) : nullptr;
  const tagUserData* me = dlg != nullptr ? dlg->GetMeUserData() : nullptr;
  const MessageView* lists = dlg != nullptr ? dlg->GetGameClientView().GetMessageView() : nullptr;
  const CMsgBox& box = GetMsgBox();

  std::string json = "{\n";
  json += "  \"frame\": " + std::to_string(session.FramesRun()) + ",\n";
  json += "  \"coins\": " + (me != nullptr ? std::to_string(me->dwCoins) : std::string("null")) + ",\n";
  json += "  \"lot\": " + LotJson(GetBuyData().GetCurrentItem()) + ",\n";
  json += "  \"panel\": " + PanelJson() + ",\n";
  json += "  \"msgbox\": " +
          (box.isVisible() && box.GetKind() != MSGBOX_NONE ? std::to_string(box.GetKind()) : std::string("null")) +
          ",\n";
  json += std::string("  \"windows\": {\"rule\": ") + Bool(GetGameRule().isVisible()) +
          ", \"history\": " + Bool(GetSellRecord().isVisible()) +
          ", \"bank\": " + Bool(CBankView::GetInstance()->isVisible()) + "},\n";
  json += "  \"callout\": " + CalloutJson() + ",\n";
  json += "  \"lucky_lines\": " + std::to_string(lists ? lists->LuckyUserLines().size() : 0) + ",\n";
  json += "  \"my_lines\": " + std::to_string(lists ? lists->MyBuyLines().size() : 0) + ",\n";
  json += "  \"status\": " +
          Quote(frame != nullptr && frame->Status().IsShown() ? plat::GbkToUtf8(frame->Status().Text()) : "") + ",\n";
  json += std::string("  \"connected\": ") + Bool(dlg != nullptr && dlg->IsConnected()) + "\n";
  json += "}\n";
  return json;
}

bool WriteGameStateJson(const GameSession& session, const std::string& path, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << GameStateJson(session);
  out.close();
  if (!out) {
    *error = path + ": cannot write the state";
    return false;
  }
  return true;
}

}  // namespace velapp
