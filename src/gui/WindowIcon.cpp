#include "gui/WindowIcon.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qsjuv {
namespace {

// The shapes of tools/qs_juv.svg on its 128 × 128 canvas, in its colours.
void paintArtwork(QPainter &painter)
{
    const auto pen = [](const char *colour, double width) {
        return QPen(QColor(QLatin1StringView(colour)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };
    // The clipboard, its paper and its clip.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x7a, 0x52, 0x30));
    painter.drawRoundedRect(QRectF(18, 14, 92, 108), 8, 8);
    painter.setPen(pen("#c9c4b5", 1.5));
    painter.setBrush(QColor(0xfd, 0xfd, 0xf8));
    painter.drawRoundedRect(QRectF(26, 24, 76, 92), 3, 3);
    painter.setPen(pen("#5d6670", 2));
    painter.setBrush(QColor(0x9a, 0xa3, 0xad));
    painter.drawRoundedRect(QRectF(46, 8, 36, 18), 5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5d, 0x66, 0x70));
    painter.drawEllipse(QPointF(64, 15), 3.5, 3.5);
    // Lines of text.
    painter.setPen(pen("#3f6fb5", 4));
    painter.drawLine(QLineF(36, 40, 92, 40));
    painter.drawLine(QLineF(36, 52, 80, 52));
    painter.drawLine(QLineF(36, 64, 86, 64));
    // The dial: an upper half circle round (64, 101), its ticks, the needle and its hub.
    QPainterPath arc(QPointF(38, 101));
    arc.arcTo(QRectF(38, 75, 52, 52), 180, -180);
    painter.setPen(pen("#2d2d2d", 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);
    painter.setPen(pen("#2d2d2d", 3));
    painter.drawLine(QLineF(42, 91, 46, 93));
    painter.drawLine(QLineF(64, 79, 64, 84));
    painter.drawLine(QLineF(86, 91, 82, 93));
    painter.setPen(pen("#d0312d", 4));
    painter.drawLine(QLineF(64, 101, 78, 86));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2d, 0x2d, 0x2d));
    painter.drawEllipse(QPointF(64, 101), 5, 5);
}

} // namespace

QIcon programIcon()
{
    // Drawn at the size asked for when it is asked for: the window may never need most sizes, and
    // nothing is painted while the form starts.
    class Engine : public QIconEngine
    {
    public:
        void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
        {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->translate(rect.topLeft());
            painter->scale(rect.width() / 128.0, rect.height() / 128.0);
            paintArtwork(*painter);
            painter->restore();
        }
        QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
        {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            paint(&painter, QRect(QPoint(), size), mode, state);
            painter.end();
            return QPixmap::fromImage(std::move(image));
        }
        QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
        {
            // What a window system takes all of at once (X11 paints each size for the window's
            // icon property when it is shown); a larger size is drawn when it is asked for.
            return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
        }
        QIconEngine *clone() const override { return new Engine; }
    };
    return QIcon(new Engine);
}

} // namespace qsjuv
