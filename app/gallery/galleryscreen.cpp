#include "app/gallery/galleryscreen.h"

#include <cstdio>

#include <guichan/key.hpp>
#include <guichan/rectangle.hpp>

#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace gallery {
namespace {

const std::string kSong = plat::Utf8ToGbk("宋");
const gcn::Color kWhite(255, 255, 255, 255);
const gcn::Color kGold(255, 222, 0, 255);
const gcn::Color kSand(229, 194, 166, 255);
const gcn::Color kPanel(0, 0, 0, 150);

constexpr int kFontSizes[] = {12, 14, 20};
constexpr int kButtonY = 360, kButtonX0 = 40, kButtonStep = 150;
constexpr int kEditX = 45, kEditY = 472, kEditW = 60, kEditH = 22;  // 5, 2 inside EditBg
constexpr int kScrollX = 660, kScrollY = 470, kScrollW = 250, kScrollH = 200;
constexpr int kDemoLines = 30;

std::string Gbk(const char* utf8) { return plat::Utf8ToGbk(utf8); }

std::string Format(const char* utf8Fmt, int a, int b = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, utf8Fmt, a, b);
  return Gbk(buf);
}

}  // namespace

std::unique_ptr<OrvHgeImage> GalleryScreen::LoadOr(const char* asset, const std::string& fallback,
                                                   bool flag) {
  auto img = std::make_unique<OrvHgeImage>(asset, flag);
  if (!img->IsValid() && !fallback.empty()) img = std::make_unique<OrvHgeImage>(fallback.c_str(), flag);
  return img;
}

GalleryScreen::GalleryScreen() {
  setSize(kWidth, kHeight);
  m_background = std::make_unique<OrvHgeImage>("Velmora/Image/Bg.jpg", false);
  m_picture = LoadOr("RozeZizar/VelmoraGoods/goods_01.png", m_art.Picture(), true);
  m_editBg = std::make_unique<OrvHgeImage>("Velmora/Image/BuyDlg/EditBg.png", false);
  m_scrollSkin = LoadOr("Velmora/Image/MessageView/Scroll.png", m_art.ScrollSkin(), false);

  for (int aa = 0; aa <= 1; ++aa)
    for (int size : kFontSizes) m_fonts.push_back(std::make_unique<OrvHgeFont>(kSong.c_str(), size, 0, 0, aa));
  m_title = std::make_unique<OrvHgeFont>(kSong.c_str(), 20, 1, 0, 1);
  m_label = std::make_unique<OrvHgeFont>(kSong.c_str(), 14, 0, 0, 1);
  m_caption = std::make_unique<OrvHgeFont>(kSong.c_str(), 14, 1, 0, 1);

  const OrvHgeImage probe("Velmora/Image/MessageBox/BtRed.png", false);
  m_buttonPath = probe.IsValid() ? std::string("Velmora/Image/MessageBox/BtRed.png") : m_art.ButtonStrip();
  for (int i = 0; i < 4; ++i) {
    auto b = std::make_unique<OrvHgeButton>(this, kBtnClick + i, m_buttonPath.c_str(),
                                            kButtonX0 + i * kButtonStep, kButtonY, false);
    b->SetDrawSink(this);
    m_buttons.push_back(std::move(b));
  }
  m_buttons[kBtnHeld - 1]->SetDefaultBmpIndex(OrvHgeButton::kFramePressed, true);
  m_buttons[kBtnDisabled - 1]->setEnabled(false);

  m_edit = std::make_unique<OrvHgeEdit>();
  m_edit->setSize(kEditW, kEditH);
  m_edit->setFont(m_label.get());
  m_edit->SetNumOnly(true);
  m_edit->setBaseColor(kWhite);  // the text colour; the field skin is dark
  m_edit->addActionListener(this);
  add(m_edit.get(), kEditX, kEditY);

  m_text = std::make_unique<OrvHgeTextBox>();
  m_text->setFont(m_label.get());
  for (int i = 1; i <= kDemoLines; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "第 %d 行：玩家 %d 号购买了 %d 份", i, 1000 + i, i % 7 + 1);
    m_text->addStr(plat::Utf8ToUtf16(line), i == kDemoLines ? gcn::Color(180, 0, 0, 255) : gcn::Color(0, 0, 0, 255),
                   i % 10 == 0 ? OrvHgeTextBox::kLink : OrvHgeTextBox::kPlain, gcn::Color(0, 0, 255, 255));
  }
  m_scroll = std::make_unique<OrvHgeScrollArea>(m_text.get());
  m_scroll->setSize(kScrollW, kScrollH);
  m_scroll->SetImg(m_scrollSkin.get());
  m_scroll->m_nScrollWidth = 6;
  m_scroll->SetPressMoveLen(m_text->GetLineHeight());
  m_scroll->setOpaque(true);
  m_scroll->setBackgroundColor(gcn::Color(250, 244, 230, 255));
  add(m_scroll.get(), kScrollX, kScrollY);

  SetTimer(kTickTimer, kTickMs);
}

GalleryScreen::~GalleryScreen() = default;

void GalleryScreen::QueueDemoInput(plat::SdlGuiInput& input) const {
  const int bw = m_buttons[0]->getWidth(), bh = m_buttons[0]->getHeight();
  auto centre = [&](int i, int* x, int* y) {
    *x = kButtonX0 + i * kButtonStep + bw / 2;
    *y = kButtonY + bh / 2;
  };
  int x = 0, y = 0;
  input.InjectClick(kEditX + 5, kEditY + 5);  // focus the field
  input.InjectText("12a3");                   // 'a' is refused: numbers only
  input.InjectKey(gcn::Key::ENTER);
  centre(0, &x, &y);
  input.InjectClick(x, y);
  input.InjectClick(x, y);
  centre(kBtnDisabled - 1, &x, &y);
  input.InjectClick(x, y);  // ignored
  centre(kBtnHover - 1, &x, &y);
  input.InjectMouseMove(x, y);  // rests here: hover frame
}

void GalleryScreen::Panel(gcn::Graphics* g, int x, int y, int w, int h) {
  g->setColor(kPanel);
  g->fillRectangle(gcn::Rectangle(x, y, w, h));
}

void GalleryScreen::draw(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (og && m_background->IsValid()) {
    og->drawImage(m_background.get(), 0, 0);
  } else if (og) {
    og->fillGradient(gcn::Rectangle(0, 0, kWidth, kHeight), gcn::Color(40, 20, 60, 255),
                     gcn::Color(40, 20, 60, 255), gcn::Color(10, 40, 70, 255), gcn::Color(10, 40, 70, 255));
  }
  Panel(g, kWidth / 2 - 130, 6, 260, 36);
  m_title->SetColor(kGold, -1);
  m_title->drawString(g, Gbk("Velmora 控件画廊"), kWidth / 2, 14, OrvHgeFont::kAlignCenter);
  DrawFonts(g);
  DrawImages(g);
  DrawClippedQuad(g);
  DrawStatus(g);
  if (og && m_editBg->IsValid())
    og->drawImage(m_editBg.get(), kEditX - 5, kEditY - 2);
  else {
    g->setColor(kWhite);
    g->fillRectangle(gcn::Rectangle(kEditX - 2, kEditY, kEditW + 4, kEditH));
  }
  OrvHgeWindow::draw(g);
}

void GalleryScreen::DrawFonts(gcn::Graphics* g) {
  Panel(g, 20, 50, 600, 290);
  int y = 60;
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    OrvHgeFont* f = m_fonts[i].get();
    f->SetColor(f->IsAntialiased() ? kWhite : kSand, -1);
    const std::string line = Format(f->IsAntialiased() ? "宋 %dpx 灰度：夺宝几率 12.50%% 剩余份额 98份 Abc"
                                                       : "宋 %dpx 单色：夺宝几率 12.50%% 剩余份额 98份 Abc",
                                    f->Size());
    f->drawString(g, line, 40, y, OrvHgeFont::kAlignLeft);
    y += f->Size() + 14;
  }
  // Centred on x = 330: the gold line marks x.
  g->setColor(kGold);
  g->drawLine(330, y, 330, y + 24);
  m_label->SetColor(kWhite, -1);
  m_label->drawString(g, Gbk("居中对齐的文字"), 330, y + 4, OrvHgeFont::kAlignCenter);
  m_label->drawString(g, std::u16string(u"宽字符 UTF-16 文本"), 40, y + 30, OrvHgeFont::kAlignLeft);
}

void GalleryScreen::DrawImages(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (!og) return;
  Panel(g, 640, 50, 620, 400);
  m_label->SetColor(kWhite, -1);
  m_label->drawString(g, Gbk("原图"), 660, 60, OrvHgeFont::kAlignLeft);
  og->drawImage(m_picture.get(), 660, 80);
  m_label->drawString(g, Gbk("旋转 0.3 缩放 0.6"), 980, 60, OrvHgeFont::kAlignLeft);
  og->drawImageEx(m_picture.get(), 1030, 80, 0.3f, 0.6f, 0.6f);
  m_label->drawString(g, Gbk("缩放 0.355"), 980, 270, OrvHgeFont::kAlignLeft);
  og->drawImageEx(m_picture.get(), 980, 290, 0.0f, 0.355f, 0.355f);
  // A sub-rectangle at a float point, and a scaled one.
  og->drawImage(m_picture.get(), 100, 80, 150, 30, 1100.5f, 300.0f);
  og->drawImageRect(m_picture.get(), 1100, 360, 100, 80, 100, 100, 1.5f, 0.8f);
}

void GalleryScreen::DrawClippedQuad(gcn::Graphics* g) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (!og) return;
  const gcn::Rectangle clip(960, 480, 260, 190);
  Panel(g, clip.x - 20, clip.y - 30, clip.width + 40, clip.height + 40);
  m_label->SetColor(kWhite, -1);
  m_label->drawString(g, Gbk("裁剪的四色方块"), clip.x, clip.y - 24, OrvHgeFont::kAlignLeft);
  og->pushClipArea(clip);
  // Larger than the clip area on every side, so all four edges are cut.
  og->fillGradient(gcn::Rectangle(-40, -40, clip.width + 80, clip.height + 80), gcn::Color(255, 0, 0, 255),
                   gcn::Color(0, 255, 0, 255), gcn::Color(0, 0, 255, 255), gcn::Color(255, 255, 0, 255));
  og->popClipArea();
  g->setColor(kWhite);
  g->drawRectangle(gcn::Rectangle(clip.x - 1, clip.y - 1, clip.width + 2, clip.height + 2));
}

void GalleryScreen::DrawStatus(gcn::Graphics* g) {
  Panel(g, 20, 350, 620, 350);
  m_label->SetColor(kWhite, -1);
  m_label->drawString(g, Format("点击次数：%d （最后命令 %d）", m_clicks, m_lastCommand), 40, 420,
                      OrvHgeFont::kAlignLeft);
  m_label->drawString(g, Gbk("按钮：普通 / 悬停 / 按住第 3 帧 / 禁用"), 40, 440, OrvHgeFont::kAlignLeft);
  m_label->drawString(g, Format("只收数字的输入框：changeText %d 次，enter %d 次", m_changeEvents, m_enterEvents),
                      kEditX + kEditW + 30, kEditY + 4, OrvHgeFont::kAlignLeft);
  m_label->drawString(g, Format("计时器 %d（每 16 ms）：已触发 %d 次", static_cast<int>(kTickTimer), m_ticks), 40, 530,
                      OrvHgeFont::kAlignLeft);
  m_label->drawString(g, Gbk("滚动区域显示最新一行 →"), 400, 640, OrvHgeFont::kAlignLeft);
}

void GalleryScreen::drawExLayer(gcn::Graphics* g) {
  OrvHgeWindow::drawExLayer(g);
  // The extra layer lies over every widget: a callout over the scroll area's corner.
  const gcn::Rectangle box(kScrollX + kScrollW - 90, kScrollY - 14, 110, 26);
  g->setColor(gcn::Color(255, 250, 200, 235));
  g->fillRectangle(box);
  g->setColor(gcn::Color(120, 80, 0, 255));
  g->drawRectangle(box);
  m_label->SetColor(gcn::Color(90, 50, 0, 255), -1);
  m_label->drawString(g, Gbk("附加图层"), box.x + box.width / 2, box.y + 6, OrvHgeFont::kAlignCenter);
}

bool GalleryScreen::DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) {
  static const char* const kCaptions[] = {"点我", "悬停", "按住", "禁用"};
  const int id = btn->GetID();
  if (id < kBtnClick || id > kBtnDisabled) return false;
  m_caption->SetColor(kWhite, -1);
  m_caption->drawString(g, Gbk(kCaptions[id - kBtnClick]), btn->getWidth() / 2,
                        (btn->getHeight() - m_caption->getHeight()) / 2, OrvHgeFont::kAlignCenter);
  return true;
}

void GalleryScreen::OnCommand(int id) {
  ++m_clicks;
  m_lastCommand = id;
}

void GalleryScreen::OnTimer(unsigned id) {
  if (id == kTickTimer) ++m_ticks;
}

void GalleryScreen::action(const gcn::ActionEvent& e) {
  if (e.getSource() != m_edit.get()) return;
  if (e.getId() == OrvHgeEdit::kChangeTextId) ++m_changeEvents;
  if (e.getId() == OrvHgeEdit::kEnterId) ++m_enterEvents;
}

}  // namespace gallery
