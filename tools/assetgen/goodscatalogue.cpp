#include "tools/assetgen/goodscatalogue.h"

#include <stdexcept>

#include "tools/assetgen/font.h"
#include "tools/assetgen/gbk.h"
#include "tools/assetgen/layout.h"

namespace {
constexpr int kDescriptionPx = 12;
// The callouts hold the name line and this many description lines.
constexpr size_t kMaxDescriptionLines = 8;
constexpr size_t kMinChars = 60, kMaxChars = 200;
}  // namespace

const std::vector<GoodsEntry>& GoodsCatalogue() {
  static const std::vector<GoodsEntry> kEntries = {
      {1001, "金龙手表",
       "金龙手表采用18K金精钢表壳，表盘以手工雕刻的金龙纹饰点缀，配备进口自动上链机芯，动力储存长达48小时。蓝宝石水晶镜面耐磨防刮，"
       "30米生活防水，金属表链可自由调节长短，尊贵大气，是商务场合与节日馈赠的理想之选。"},
      {1002, "翡翠手镯",
       "天然A货翡翠手镯，种水细腻，色泽翠绿通透，内径约56毫米，适合大多数手型佩戴。每只手镯均附权威机构鉴定证书，经老师傅手工打磨抛光，"
       "光泽温润。翡翠寓意平安吉祥，既可自戴，也是送给长辈的贴心礼物。"},
      {1003, "智能手机",
       "全面屏智能手机，6.7英寸高刷新率屏幕，画面流畅细腻。八核处理器搭配12GB运行内存与256GB存储空间，多任务切换毫不卡顿。后置五千万像素三摄，"
       "夜景也能拍得清晰明亮；5000毫安电池支持快充，半小时即可充至七成。"},
      {1004, "笔记本电脑",
       "轻薄笔记本电脑，14英寸高色准屏幕，机身仅重1.3公斤，出差携带毫不费力。搭载新一代处理器、16GB内存和1TB固态硬盘，办公、修图、追剧都游刃有余。"
       "全尺寸背光键盘手感舒适，续航可达12小时。"},
      {1005, "山地自行车",
       "27速山地自行车，铝合金车架轻巧坚固，前叉带锁死功能的避震系统，轻松应对碎石与坡道。前后油压碟刹制动灵敏，雨天也安全可靠；"
       "27.5英寸防滑轮胎抓地力强。适合城市通勤，也适合周末进山骑行。"},
      {1006, "电动滑板车",
       "可折叠电动滑板车，三秒即可收起，轻松放进汽车后备箱。350瓦电机最高时速25公里，满电续航约30公里。前后双重刹车，配有LED前灯与尾灯，"
       "夜间骑行更安心；手把液晶屏实时显示车速与电量。"},
      {1007, "单反相机",
       "专业级单反相机，2400万像素全画幅传感器，画质纯净，宽容度高。每秒10张高速连拍，抓拍运动瞬间得心应手；配套24-70毫米标准变焦镜头，"
       "风景人像一镜搞定。支持4K视频录制，机身防尘防滴溅。"},
      {1008, "游戏主机",
       "新一代家用游戏主机，支持4K高清画面与每秒120帧输出，光影效果逼真。内置1TB高速固态硬盘，游戏读取几乎无需等待。附赠无线手柄一只，"
       "带震动反馈，和亲朋好友一起畅玩大作。"},
      {1009, "蓝牙耳机",
       "头戴式蓝牙耳机，主动降噪可隔绝地铁与机舱中的大部分噪音。40毫米动圈单元音质饱满，低音浑厚；耳罩柔软贴合，单次充电可连续播放30小时。"},
      {1010, "黄金项链",
       "足金999黄金项链，约重10克，精工编织链身柔顺贴颈，配以红宝石水滴吊坠，璀璨夺目。附带发票与质检证书，可终身免费清洗保养。"
       "链长45厘米，附5厘米延长链，可按领口自由调节；吊坠背面可免费刻字，把心意永久留存。整套配红木礼盒包装，"
       "无论日常搭配还是喜庆场合，都能增添一份华贵气质。"},
      {1011, "平板电脑",
       "11英寸平板电脑，2.5K分辨率全面屏色彩鲜艳，四扬声器带来影院般的环绕声。8GB内存搭配128GB存储，网课、阅读、看剧样样轻松。"
       "支持手写笔与键盘套，随手记笔记、画草图，学习办公两相宜。"},
      {1012, "咖啡机",
       "意式半自动咖啡机，15巴高压萃取，一键制作浓缩咖啡、美式与拿铁。配备蒸汽打奶棒，在家也能打出绵密奶泡。1.5升可拆卸水箱，清洗方便；"
       "不锈钢机身搭配复古压力表，摆在厨房里格外有品位。"},
  };
  return kEntries;
}

std::string EscapeXmlAttribute(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string BuildGoodsConfig(const std::vector<GoodsEntry>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n";
  xml += "<!-- Goods descriptions for the description callout, one element per goods id. -->\n";
  xml += "<AuctionGoodsCfg>\n";
  for (const GoodsEntry& e : entries) {
    xml += "  <Goods goodsID=\"" + std::to_string(e.id) + "\" name=\"" + EscapeXmlAttribute(e.name) +
           "\" description=\"" + EscapeXmlAttribute(e.description) + "\"/>\n";
  }
  xml += "</AuctionGoodsCfg>\n";
  return Utf8ToGbk(xml);
}

void WriteGoodsConfig(const ArtContext& ctx, AssetWriter& out) {
  for (const GoodsEntry& e : GoodsCatalogue()) {
    const size_t chars = Font::Decode(e.description).size();
    if (chars < kMinChars || chars > kMaxChars)
      throw std::runtime_error("description of " + std::to_string(e.id) + " has " + std::to_string(chars) + " characters");
    const size_t lines = ctx.Cjk().Wrap(e.description, kDescriptionPx, layout::kCalloutTextWidth).size();
    if (lines > kMaxDescriptionLines)
      throw std::runtime_error("description of " + std::to_string(e.id) + " needs " + std::to_string(lines) + " lines");
  }
  out.Bytes("Velmora/config/AuctionGoodsCfg.xml", BuildGoodsConfig(GoodsCatalogue()),
            "GBK XML, 12 <Goods goodsID description> entries");
}
