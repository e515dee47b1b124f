#include "app/galleryviews/galleryview.h"

#include "client/views/buypanel.h"
#include "client/views/msgbox.h"

namespace galleryviews {

void GalleryView::InitResource() {
  InitScene();
  CMsgBox& box = GetMsgBox();
  box.Create();
  Place(&box);
}

void GalleryView::OnCommand(int id) { GetBuyPanel().OnCommand(id); }

void GalleryView::action(const gcn::ActionEvent& e) { GetBuyPanel().OnEditAction(e); }

}  // namespace galleryviews
