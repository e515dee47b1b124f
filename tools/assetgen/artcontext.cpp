#include "tools/assetgen/artcontext.h"

ArtContext::ArtContext()
    : cjkFont_("AR PL UMing CN", "uming"),
      latinFont_("DejaVu Sans:bold", "DejaVuSans-Bold"),
      cjk_(cjkFont_),
      latin_(latinFont_) {}
