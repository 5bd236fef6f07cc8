#pragma once
// The program's own drawings (resources/pictures), parsed once per run and drawn once
// per size. The first window's pictures can be drawn on another thread while its
// widgets are being made.
#include <memory>
#include <thread>
#include <vector>

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

class QSvgRenderer;

namespace zqt {

// The parsed drawing `base` (":/pictures/name", without ".svg"); null when there is no
// such drawing. GUI thread only.
std::shared_ptr<QSvgRenderer> parsedSvg(const QString& base);

// The drawing at its own size times `zoom`, or at `box` when stretched; empty when
// there is nothing to draw. GUI thread only: the pixmaps are cached.
QPixmap drawnSvg(const QString& base, QSvgRenderer& svg, const QSize& box, bool stretch, double zoom, qreal dpr);

// What a window will ask drawnSvg for, drawn in advance on a thread of its own.
struct PictureRequest {
    QString base;
    QSize box;
    bool stretch = false;
};

class PicturePrefetch {
public:
    PicturePrefetch(std::vector<PictureRequest> requests, double zoom, qreal dpr);
    // Waits for the thread; what it drew and nobody collected is dropped.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // Waits for the thread and puts what it parsed and drew in the caches that
    // parsedSvg and drawnSvg read. GUI thread only.
    void collect();

private:
    struct Drawn {
        QString base;
        std::shared_ptr<QSvgRenderer> svg;
        QString key;
        QImage image;
    };
    std::vector<Drawn> drawn_;
    std::thread thread_;
};

} // namespace zqt
