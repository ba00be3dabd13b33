#include "editors/picture_format.h"

namespace hw::editors {

namespace {

bool HasMarkAt(std::string_view head, std::size_t offset, std::string_view mark) {
    return head.size() >= offset + mark.size() && head.substr(offset, mark.size()) == mark;
}

} // namespace

PictureFormat DetectPictureFormat(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 10);
    if (HasMarkAt(head, 0, "BM")) return PictureFormat::Bmp;
    if (HasMarkAt(head, 0, "GIF")) return PictureFormat::Gif;
    if (HasMarkAt(head, 6, "JFIF")) return PictureFormat::Jpeg;
    return PictureFormat::Unknown;
}

std::string_view PictureExtension(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp:
        return "BMP";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Jpeg:
        return "JPG";
    case PictureFormat::Unknown:
        break;
    }
    return {};
}

} // namespace hw::editors
