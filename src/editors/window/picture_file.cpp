#include "editors/window/picture_file.h"

#include "util/file_io.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include <gif_lib.h>

#include <memory>
#include <string_view>
#include <vector>

namespace hw::editors {

namespace {

int AppendToByteArray(GifFileType* file, const GifByteType* data, int length) {
    static_cast<QByteArray*>(file->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct GifWriterCloser {
    void operator()(GifFileType* file) const { EGifCloseFile(file, nullptr); }
};

struct ColorMapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// GIF colour tables hold a power of two entries, 2 to 256.
int ColorTableSize(qsizetype colors) {
    int size = 2;
    while (size < colors)
        size *= 2;
    return size;
}

// JPG is JPEG; any other format a Qt writer knows by its extension (PNG, WebP, TIFF, ICO ...); a
// bitmap for the rest.
QByteArray WriterFormat(const QString& extension) {
    if (extension == "JPG") return "JPEG";
    const QByteArray format = extension.toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(format) ? format : QByteArray("BMP");
}

} // namespace

std::optional<QByteArray> EncodeGif(const QImage& image) {
    if (image.isNull()) return std::nullopt;
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> table = indexed.colorTable();
    std::vector<GifColorType> colors(static_cast<std::size_t>(ColorTableSize(table.size())));
    for (qsizetype i = 0; i < table.size(); ++i)
        colors[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(qRed(table[i])),
                                               static_cast<GifByteType>(qGreen(table[i])),
                                               static_cast<GifByteType>(qBlue(table[i]))};
    std::unique_ptr<ColorMapObject, ColorMapFree> map(
        GifMakeMapObject(static_cast<int>(colors.size()), colors.data()));
    if (!map) return std::nullopt;

    QByteArray encoded;
    int error = 0;
    GifFileType* opened = EGifOpen(&encoded, AppendToByteArray, &error);
    if (!opened) return std::nullopt;
    std::unique_ptr<GifFileType, GifWriterCloser> gif(opened);
    const int width = indexed.width();
    const int height = indexed.height();
    if (EGifPutScreenDesc(gif.get(), width, height, 8, 0, map.get()) != GIF_OK ||
        EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) != GIF_OK)
        return std::nullopt;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const uchar* pixels = indexed.constScanLine(y);
        line.assign(pixels, pixels + width);
        if (EGifPutLine(gif.get(), line.data(), width) != GIF_OK) return std::nullopt;
    }
    if (EGifCloseFile(gif.release(), &error) != GIF_OK) return std::nullopt;
    return encoded;
}

bool WritePictureFile(const QImage& image, const QString& fileName) {
    if (image.isNull()) return false;
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    std::optional<QByteArray> encoded;
    if (extension == "GIF") {
        encoded = EncodeGif(image);
    } else {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, WriterFormat(extension).constData())) encoded = bytes;
    }
    return encoded && util::ReplaceFileAtomically(fileName.toStdString(),
                                                  std::string_view(encoded->constData(), encoded->size()));
}

} // namespace hw::editors
