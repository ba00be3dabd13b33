// Writing a shown picture to a file in the format its name's extension says.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace hw::editors {

// The picture encoded as GIF (256 colours at most), nothing when encoding fails.
std::optional<QByteArray> EncodeGif(const QImage& image);

// .gif as GIF, .jpg and .jpeg as JPEG, any other extension a Qt writer knows in its format (.png, .webp,
// .tiff ...), anything else as a bitmap; the file is replaced whole or not at all.
bool WritePictureFile(const QImage& image, const QString& fileName);

} // namespace hw::editors
