#include "qt/picture_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

namespace zqt {

namespace {

// The GIF and JPEG readers draw what they have of a file cut on its way, the rest grey
// or black, without a word: a file is whole only when its blocks run to its end mark.
bool wholeGif(const QByteArray& b) {
    auto at = [&b](qsizetype i) { return static_cast<uchar>(b[i]); };
    qsizetype p = 13;
    auto skipTable = [&](uchar flags) {
        if (flags & 0x80) p += 3 * (qsizetype(2) << (flags & 7));
    };
    auto skipSubBlocks = [&] {
        while (p < b.size()) {
            const uchar n = at(p++);
            if (n == 0) return true;
            p += n;
        }
        return false;
    };
    if (b.size() < 13) return false;
    skipTable(at(10));
    while (p < b.size()) {
        const uchar block = at(p++);
        if (block == 0x3B) return true; // the trailer
        if (block == 0x21) {             // an extension: its label, then its data
            ++p;
        } else if (block == 0x2C && p + 9 <= b.size()) { // an image: its place, colours, code size, data
            const uchar flags = at(p + 8);
            p += 9;
            skipTable(flags);
            ++p;
        } else {
            return false;
        }
        if (!skipSubBlocks()) return false;
    }
    return false;
}

bool wholeJpeg(const QByteArray& b) {
    auto at = [&b](qsizetype i) { return static_cast<uchar>(b[i]); };
    auto restart = [](uchar m) { return m >= 0xD0 && m <= 0xD7; };
    qsizetype p = 2;
    while (p + 1 < b.size()) {
        if (at(p) != 0xFF) return false;
        const uchar marker = at(p + 1);
        if (marker == 0xFF) { // a fill byte before the marker
            ++p;
            continue;
        }
        p += 2;
        if (marker == 0xD9) return true; // end of image
        if (restart(marker) || marker == 0x01) continue;
        if (p + 1 >= b.size()) return false;
        const int length = at(p) << 8 | at(p + 1);
        if (length < 2) return false;
        p += length;
        // After a scan header come its coded data, up to the next marker that is neither
        // an escaped FF nor a restart.
        if (marker == 0xDA)
            while (p + 1 < b.size() && !(at(p) == 0xFF && at(p + 1) != 0 && !restart(at(p + 1)))) ++p;
    }
    return false;
}

bool fits(const QSize& size, const QSize& largest) {
    return !largest.isValid() || (size.width() <= largest.width() && size.height() <= largest.height());
}

} // namespace

QImage readPictureFile(const QString& path, const QSize& largest) {
    QFile file(path);
    // Far above any contest picture; a larger file is no picture of ours.
    constexpr qint64 kLargestFile = 16 << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFile) return {};
    QByteArray bytes = file.read(kLargestFile);
    const char* format = nullptr;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) {
        if (wholeGif(bytes)) format = "gif";
    } else if (bytes.startsWith("\xFF\xD8\xFF")) {
        if (wholeJpeg(bytes)) format = "jpeg";
    } else if (bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        format = "png"; // its reader reports a cut file itself
    }
    if (!format) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Decoded by that format's reader alone: no other is tried when it fails.
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    // The size its header declares, judged before a single pixel is decoded.
    if (!reader.size().isValid() || !fits(reader.size(), largest)) return {};
    QImage picture = reader.read();
    return fits(picture.size(), largest) ? picture : QImage();
}

} // namespace zqt
