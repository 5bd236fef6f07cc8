#include "qt/picture_file.h"

#include <QByteArray>
#include <QFile>
#include <QImageReader>

namespace zqt {

QImage readPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.peek(8);
    const char* format = nullptr;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        format = "gif";
    else if (head.startsWith("\xFF\xD8\xFF"))
        format = "jpeg";
    else if (head.startsWith("\x89PNG\r\n\x1A\n"))
        format = "png";
    if (!format) return {};
    // Decoded by that format's reader alone: no other is tried when it fails.
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace zqt
