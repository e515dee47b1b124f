#include "client/views/mychatview.h"

#include "client/views/myquickchatview.h"

CMyChatView::CMyChatView() = default;
CMyChatView::~CMyChatView() = default;

// No panel and no lines: only what the children draw.
void CMyChatView::draw(gcn::Graphics* g) { OrvHgeContainer::draw(g); }

void CMyChatView::InitResource() {
  CChatWiew::InitResource();
  setVisible(false);
}

CQuickChatWiew* CMyChatView::CreateQuickChatView() { return new CMyQuickChatWiew(); }

void CMyChatView::AddChatLine(const std::string& /*lineGbk*/) {}
