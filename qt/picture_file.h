#pragma once
// Pictures that come from outside the program (the downloaded contest image): GIF, JPEG
// or PNG as their first bytes say, whatever the file is called. Other formats are no
// contest picture, and some of them (a drawing, for one) can name local files to read.
#include <QImage>
#include <QSize>
#include <QString>

namespace zqt {

// The picture in `path`; null when it is not a whole GIF, JPEG or PNG that decodes, or
// when it is larger than `largest` (when that is given) in either direction.
QImage readPictureFile(const QString& path, const QSize& largest = QSize());

} // namespace zqt
