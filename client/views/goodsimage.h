#pragma once
// The process-wide goods picture cache, keyed by goods id alone.
//
// The first successful load decides an id's picture while the id stays in the cache; later
// callers get that picture whatever file name they pass. A load that gives nothing (missing
// or unreadable file) leaves no entry so the next lookup tries again. The ids come from the
// server, so the cache holds at most kMaxGoodsPictures: a new one pushes out the picture used
// least recently (with its pixels, unless another id shows the same file). A frame draws at
// most eight pictures, so a picture drawn in the current frame is never the one pushed out.
// Single UI thread.
#include <cstddef>
#include <cstdint>
#include <string_view>

class OrvHgeImage;

// Goods pictures kept at once; far more than one screen shows.
constexpr std::size_t kMaxGoodsPictures = 24;
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
// Whether a goods id holds a picture now; does not load or touch it (tests).
bool HasGoodsImage(std::uint32_t goodsId);
