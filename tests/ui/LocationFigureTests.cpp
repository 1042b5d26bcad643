#include "ui/EvidenceSheet.h"
#include "ui/LocationFigure.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <gtest/gtest.h>

using velmora::calc::PlacedSite;
using velmora::calc::ResultPlaces;
using velmora::ui::DrawLocationFigure;

namespace {

PlacedSite Site(const QString& name, int rank, double x, double y)
{
    PlacedSite s;
    s.name = name;
    s.rank = rank;
    s.x = x;
    s.y = y;
    return s;
}

// The centre of the patches of one exact grey (a pixel and its eight
// neighbours): the inside of a marker, not the edges of smoothed text.
QPointF CentreOf(const QImage& image, int grey)
{
    const auto is = [&](int x, int y) { return image.pixel(x, y) == qRgb(grey, grey, grey); };
    QPointF sum;
    int n = 0;
    for (int y = 1; y + 1 < image.height(); ++y)
        for (int x = 1; x + 1 < image.width(); ++x)
            if (is(x - 1, y - 1) && is(x, y - 1) && is(x + 1, y - 1) && is(x - 1, y) && is(x, y) && is(x + 1, y)
                && is(x - 1, y + 1) && is(x, y + 1) && is(x + 1, y + 1)) {
                sum += QPointF(x, y);
                ++n;
            }
    return n > 0 ? sum / n : QPointF(-1, -1);
}

int PdfPages(const velmora::ui::EvidenceSheetData& data)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        velmora::ui::EvidenceSheet(data).Print(writer);
    }
    return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

// North is up and east is right, in the plane coordinates' own scale: a site
// 8 km north of the job site and one 8 km east of it lie apart by the same
// distance across and down.
TEST(LocationFigure, DrawsPlaneCoordinatesNorthUp)
{
    ResultPlaces places;
    places.jobX = -110000;
    places.jobY = 57000;
    places.sites = {Site(QStringLiteral("北の処分場"), 2, -102000, 57000), Site(QStringLiteral("東の処分場"), 3, -110000, 65000)};
    QImage image(1200, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawLocationFigure(painter, QRectF(0, 0, 1200, 800), places);
    }
    const QPointF north = CentreOf(image, 96);  // rank 2: dark grey
    const QPointF east = CentreOf(image, 176);  // rank 3: light grey
    ASSERT_GE(north.x(), 0);
    ASSERT_GE(east.x(), 0);
    EXPECT_LT(north.y(), east.y());
    EXPECT_GT(east.x(), north.x());
    EXPECT_NEAR(east.x() - north.x(), east.y() - north.y(), 3);
}

TEST(LocationFigure, SheetGetsAPageOfItsOwnOnlyWithSites)
{
    velmora::ui::EvidenceSheetData data;
    data.places.jobX = -110000;
    data.places.jobY = 57000;
    EXPECT_EQ(PdfPages(data), 1);
    data.places.sites = {Site(QStringLiteral("処分場"), 1, -112000, 58000)};
    EXPECT_EQ(PdfPages(data), 2);
}
