#pragma once
// The process-wide goods picture cache, keyed by goods id alone.
//
// The first successful load decides an id's picture for the rest of the process; later
// callers get that picture whatever file name they pass. A load that gives nothing (missing
// or unreadable file) leaves the entry empty so the next lookup tries again. Pictures are
// never freed. Single UI thread.
#include <cstddef>
#include <cstdint>
#include <string_view>

class OrvHgeImage;

// Folder of the goods pictures, game-relative.
constexpr const char* kGoodsPictureDir = "RozeZizar/VelmoraGoods/";
// The path buffer holds at most this many characters (plus the terminator).
constexpr std::size_t kGoodsPicturePathMax = 119;

// The picture of a goods item, loaded on the first call for its id; null when the file gives
// nothing or, before the first load, the name is refused (see IsSafePictureName).
OrvHgeImage* GetGoodsImage(std::uint32_t goodsId, std::string_view fileName);

// The name comes from the server: it may only name a file inside the goods folder, so a path
// separator of either kind or ".." anywhere is refused, and so is an empty name.
bool IsSafePictureName(std::string_view fileName);

// How many goods ids hold a picture (tests).
std::size_t GoodsImageCount();
