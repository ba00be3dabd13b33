// Which picture format a byte sequence starts with, by the marks the hex editor's picture page knows.
#pragma once

#include <string_view>

namespace hw::editors {

enum class PictureFormat { Unknown, Bmp, Gif, Jpeg };

// Looks at the first ten bytes at most: "BM" at 0 (bitmap), "GIF" at 0, "JFIF" at 6 (JPEG).
PictureFormat DetectPictureFormat(std::string_view bytes);

// "BMP", "GIF" or "JPG"; empty for Unknown.
std::string_view PictureExtension(PictureFormat format);

} // namespace hw::editors
