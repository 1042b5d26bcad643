#include "LocationFigure.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace velmora::ui {
namespace {

const QString kFontFamily = QStringLiteral("Noto Sans CJK JP");
constexpr double kSearchRadiusMetres = 60000;
// The smallest extent shown, so that sites next to the job site still part.
constexpr double kMinExtentMetres = 2000;

// Fills that stay apart in grey: black, dark and light grey, white.
QColor RankFill(int rank)
{
    switch (rank) {
    case 1: return QColor(0, 0, 0);
    case 2: return QColor(96, 96, 96);
    case 3: return QColor(176, 176, 176);
    default: return QColor(255, 255, 255);
    }
}

// 1, 2 or 5 times a power of ten, at most `metres`.
double RoundScaleLength(double metres)
{
    const double power = std::pow(10.0, std::floor(std::log10(metres)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= metres)
            return step * power;
    return power;
}

QString LengthText(double metres)
{
    return metres >= 1000 ? QStringLiteral("%1 km").arg(metres / 1000) : QStringLiteral("%1 m").arg(metres);
}

// Maps plane coordinates (X north, Y east, metres) into the frame, north up,
// one scale for both axes.
struct Projection
{
    QRectF frame;
    double centreX = 0;
    double centreY = 0;
    double scale = 1; // pixels per metre

    QPointF operator()(double x, double y) const
    {
        return {frame.center().x() + (y - centreY) * scale, frame.center().y() - (x - centreX) * scale};
    }
};

Projection Fit(const QRectF& frame, const velmora::calc::ResultPlaces& places)
{
    double minX = places.jobX, maxX = places.jobX, minY = places.jobY, maxY = places.jobY;
    for (const velmora::calc::PlacedSite& s : places.sites) {
        minX = std::min(minX, s.x);
        maxX = std::max(maxX, s.x);
        minY = std::min(minY, s.y);
        maxY = std::max(maxY, s.y);
    }
    const double north = std::max(maxX - minX, kMinExtentMetres) * 1.15;
    const double east = std::max(maxY - minY, kMinExtentMetres) * 1.15;
    Projection p;
    p.frame = frame;
    p.centreX = (minX + maxX) / 2;
    p.centreY = (minY + maxY) / 2;
    p.scale = std::min(frame.width() / east, frame.height() / north);
    return p;
}

// A name in a white box beside a point: right of it for a positive offset,
// left of it for a negative one, so that two names near each other part.
void DrawLabel(QPainter& painter, const QPointF& at, const QString& text, double offset)
{
    const QFontMetricsF metrics(painter.font());
    const double width = metrics.horizontalAdvance(text) + 6;
    const QRectF box(offset >= 0 ? at.x() + offset : at.x() + offset - width, at.y() - metrics.height() / 2, width,
                     metrics.height());
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.drawText(box, Qt::AlignCenter, text);
}

void DrawNorthArrow(QPainter& painter, const QPointF& tip, double size)
{
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(size * 0.35, size));
    arrow.lineTo(tip + QPointF(0, size * 0.75));
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    QPainterPath other;
    other.moveTo(tip);
    other.lineTo(tip + QPointF(-size * 0.35, size));
    other.lineTo(tip + QPointF(0, size * 0.75));
    other.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(other);
    painter.drawText(QRectF(tip.x() - size, tip.y() - size * 0.8, size * 2, size * 0.8), Qt::AlignCenter, QStringLiteral("N"));
}

void DrawScaleBar(QPainter& painter, const QPointF& left, double pixelsPerMetre, double maxPixels)
{
    const double metres = RoundScaleLength(maxPixels / pixelsPerMetre);
    const double length = metres * pixelsPerMetre;
    const double h = QFontMetricsF(painter.font()).height() * 0.4;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(left.x(), left.y(), length / 2, h));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(left.x() + length / 2, left.y(), length / 2, h));
    painter.drawText(QPointF(left.x(), left.y() - h * 0.5), QStringLiteral("0"));
    painter.drawText(QPointF(left.x() + length + 4, left.y() + h), LengthText(metres));
}

} // namespace

QString LocationFigureTitle()
{
    return QStringLiteral("位置図");
}

void DrawLocationFigure(QPainter& painter, const QRectF& area, const velmora::calc::ResultPlaces& places)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(kFontFamily);
    font.setPixelSize(std::max(8, int(area.height() / 60)));
    painter.setFont(font);
    const double line = QFontMetricsF(font).height();

    QFont title = font;
    title.setPixelSize(int(line * 1.4));
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line * 2), Qt::AlignLeft | Qt::AlignVCenter,
                     LocationFigureTitle());
    painter.setFont(font);

    const QRectF frame(area.left(), area.top() + line * 2.2, area.width(), area.height() - line * 6.5);
    const double pin = std::max(line * 1.2, 10.0);
    const Projection project = Fit(frame.adjusted(pin, pin, -pin, -pin), places);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.save();
    painter.setClipRect(frame);

    // The search circle, dashed, where it passes through the frame.
    const QPointF job = project(places.jobX, places.jobY);
    const double radius = kSearchRadiusMetres * project.scale;
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawEllipse(job, radius, radius);

    // The line to the first-ranked site and the sites, the ranked ones last
    // so that they lie on top.
    const velmora::calc::PlacedSite* first = nullptr;
    QList<const velmora::calc::PlacedSite*> order;
    for (const velmora::calc::PlacedSite& s : places.sites) {
        if (s.rank == 1 && !first)
            first = &s;
        order.append(&s);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        const int ra = a->rank > 0 ? a->rank : 1000;
        const int rb = b->rank > 0 ? b->rank : 1000;
        return ra > rb;
    });
    if (first) {
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawLine(job, project(first->x, first->y));
    }
    QFont bold = font;
    bold.setBold(true);
    for (const velmora::calc::PlacedSite* s : order) {
        const QPointF at = project(s->x, s->y);
        const QColor fill = RankFill(s->rank);
        painter.setPen(QPen(Qt::black, s->rank == 1 ? 2 : 1));
        painter.setBrush(fill);
        painter.drawEllipse(at, pin / 2, pin / 2);
        painter.setPen(fill.lightness() < 128 ? Qt::white : Qt::black);
        painter.setFont(bold);
        painter.drawText(QRectF(at.x() - pin / 2, at.y() - pin / 2, pin, pin), Qt::AlignCenter,
                         s->rank > 0 ? QString::number(s->rank) : QStringLiteral("－"));
        painter.setFont(font);
    }

    // The job site: a black square with a white edge, named.
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(job.x() - pin / 2, job.y() - pin / 2, pin, pin));
    DrawLabel(painter, job, QStringLiteral("工事現場"), -pin * 0.7);
    if (first)
        DrawLabel(painter, project(first->x, first->y), QStringLiteral("1位 ") + first->name, pin * 0.7);
    painter.restore();

    DrawNorthArrow(painter, QPointF(frame.right() - line * 2, frame.top() + line * 1.5), line * 2);
    DrawScaleBar(painter, QPointF(frame.left() + line, frame.bottom() - line * 1.2), project.scale, frame.width() / 4);

    // Legend and the source of the positions.
    const QString legend = QStringLiteral("■ 工事現場　● 処分場（数字は順位: 1 位 黒、2 位 濃い灰、3 位 薄い灰、4 位以下 白、順位なし「－」）　"
                                          "実線: 1 位の処分場までの直線　破線: 検索範囲 60 km");
    const QString source = QStringLiteral("位置: 処分場は登録の平面直角座標、工事現場は入力された座標（平面直角座標系 第VI系、JGD2011）"
                                          "から作図。上が北。背景地図なし。");
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), frame.bottom() + line * 0.5, area.width(), line * 2),
                     Qt::AlignLeft | Qt::TextWordWrap, legend);
    painter.drawText(QRectF(area.left(), frame.bottom() + line * 2.5, area.width(), line * 2),
                     Qt::AlignLeft | Qt::TextWordWrap, source);
    painter.restore();
}

} // namespace velmora::ui
