#pragma once
// Game-relative asset paths ("Velmora\config\x.xml", "Velmora/Image/Bg.jpg") to file paths.
//
// Callers may rely on: backslashes become '/'; a relative path becomes "<root>/<rel>"; an
// absolute path (leading '/') is returned unchanged (backslashes still converted); the root
// defaults to "." (the working directory). Single UI thread: set the root before drawing starts.
#include <string>

namespace plat {

std::string AssetPath(const std::string& rel);
void SetAssetRoot(std::string dir);  // trailing '/' removed; empty means "."
const std::string& AssetRoot();

}  // namespace plat
