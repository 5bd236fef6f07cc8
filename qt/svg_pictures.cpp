#include "qt/svg_pictures.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QThread>

namespace zqt {

namespace {

// Many controls show the same few drawings.
QHash<QString, std::shared_ptr<QSvgRenderer>>& parsedCache() {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> parsed;
    return parsed;
}

std::shared_ptr<QSvgRenderer> parse(const QString& base) {
    const QString file = base + ".svg";
    if (!QFile::exists(file)) return nullptr;
    return std::make_shared<QSvgRenderer>(file);
}

QSize target(const QSvgRenderer& svg, const QSize& box, bool stretch, double zoom) {
    return stretch ? box : svg.defaultSize() * zoom;
}

QString key(const QString& base, const QSize& size, qreal dpr) {
    return QStringLiteral("%1@%2x%3x%4").arg(base).arg(size.width()).arg(size.height()).arg(dpr);
}

// Painting on an image is safe on any thread; a pixmap is for the GUI thread only.
QImage draw(QSvgRenderer& svg, const QSize& size, qreal dpr) {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return image;
}

} // namespace

std::shared_ptr<QSvgRenderer> parsedSvg(const QString& base) {
    auto& parsed = parsedCache();
    auto found = parsed.constFind(base);
    if (found != parsed.cend()) return *found;
    std::shared_ptr<QSvgRenderer> svg = parse(base);
    if (svg) parsed.insert(base, svg);
    return svg;
}

QPixmap drawnSvg(const QString& base, QSvgRenderer& svg, const QSize& box, bool stretch, double zoom, qreal dpr) {
    const QSize size = target(svg, box, stretch, zoom);
    if (size.isEmpty()) return {};
    // Drawn once per size: pointing from match to match swaps the same pictures.
    const QString k = key(base, size, dpr);
    QPixmap pm;
    if (QPixmapCache::find(k, &pm)) return pm;
    pm = QPixmap::fromImage(draw(svg, size, dpr));
    QPixmapCache::insert(k, pm);
    return pm;
}

PicturePrefetch::PicturePrefetch(std::vector<PictureRequest> requests, double zoom, qreal dpr)
    : thread_([this, requests = std::move(requests), zoom, dpr, gui = QCoreApplication::instance()->thread()] {
          QHash<QString, std::shared_ptr<QSvgRenderer>> parsed;
          for (const PictureRequest& r : requests) {
              std::shared_ptr<QSvgRenderer> svg = parsed.value(r.base);
              if (!svg) {
                  svg = parse(r.base);
                  if (!svg) continue;
                  // The GUI thread keeps it for later sizes.
                  svg->moveToThread(gui);
                  parsed.insert(r.base, svg);
              }
              const QSize size = target(*svg, r.box, r.stretch, zoom);
              if (size.isEmpty()) continue;
              drawn_.push_back({r.base, svg, key(r.base, size, dpr), draw(*svg, size, dpr)});
          }
      }) {}

PicturePrefetch::~PicturePrefetch() {
    if (thread_.joinable()) thread_.join();
}

void PicturePrefetch::collect() {
    if (thread_.joinable()) thread_.join();
    auto& parsed = parsedCache();
    for (Drawn& d : drawn_) {
        if (!parsed.contains(d.base)) parsed.insert(d.base, d.svg);
        QPixmap pm;
        if (!QPixmapCache::find(d.key, &pm)) QPixmapCache::insert(d.key, QPixmap::fromImage(std::move(d.image)));
    }
    drawn_.clear();
}

} // namespace zqt
