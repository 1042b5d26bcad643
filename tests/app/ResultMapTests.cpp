// The page "地図" in the real browser, against stand-in tiles served on
// 127.0.0.1 and against a tile server that is not there.

#include "app/MainWindowFixture.h"
#include "support/LocalWebServer.h"
#include "ui/ResultExport.h"
#include "ui/ResultMap.h"
#include "ui/ResultMapFeature.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

using namespace velmora::test;
using velmora::ui::ResultMap;

namespace {

class ResultMapTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(tileDir.isValid());
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(QColor(200, 230, 200));
        ASSERT_TRUE(tile.save(tileDir.filePath(QStringLiteral("tile.png"))));
        tiles = std::make_unique<LocalWebServer>(tileDir.path());
        ASSERT_TRUE(tiles->isListening());
    }

    // The definitions' tile address; the server ignores the query, so one
    // picture stands for every tile.
    void useTiles(const QString& address)
    {
        QString ini = QString::fromUtf8(deployment.readBytes(QStringLiteral("status/WebDataDef.ini")));
        ini.replace(QRegularExpression(QStringLiteral("\ntiles=[^\r\n]*")), QStringLiteral("\ntiles=") + address);
        ini.replace(QRegularExpression(QStringLiteral("\nattribution=[^\r\n]*")), QStringLiteral("\nattribution=代用タイル"));
        if (!ini.startsWith(QChar(0xFEFF)))
            ini.prepend(QChar(0xFEFF)); // UTF-8 is told by its mark
        deployment.writeBytes(QStringLiteral("status/WebDataDef.ini"), ini.toUtf8());
    }

    ResultMap* map() const { return form->resultMap().map(); }

    void openMap()
    {
        form->SetActivePage(3);
        ASSERT_TRUE(WaitUntil([this] { return map()->isReady(); }, 20000)) << "map page did not load";
    }

    // What the page has drawn: its markers, line, circle and notes.
    QJsonObject drawn() const
    {
        QString json;
        map()->view()->page()->runJavaScript(QStringLiteral("JSON.stringify(velmoraMap.drawn())"), QWebEngineScript::MainWorld,
                                             [&json](const QVariant& v) { json = v.toString(); });
        EXPECT_TRUE(WaitUntil([&json] { return !json.isEmpty(); }, 5000));
        return QJsonDocument::fromJson(json.toUtf8()).object();
    }

    // The marker of the row at grid position `row`.
    QJsonObject marker(const QJsonObject& d, int row) const
    {
        for (const QJsonValue& s : d.value(QStringLiteral("sites")).toArray())
            if (s.toObject().value(QStringLiteral("position")).toInt() == row)
                return s.toObject();
        return {};
    }

    int rowCount() const
    {
        int n = 0;
        while (!form->StringGrid->Cell(1, n + 1).isEmpty())
            ++n;
        return n;
    }

    // Each marker carries its row's rank and the grid's colour of that rank.
    void expectMarkersAsGrid()
    {
        const int rows = rowCount();
        ASSERT_TRUE(WaitUntil([&] { return drawn().value(QStringLiteral("sites")).toArray().size() == rows; }, 5000));
        ASSERT_TRUE(WaitUntil([&] {
            const QJsonObject d = drawn();
            for (int r = 1; r <= rows; ++r) {
                const QString rank = form->StringGrid->Cell(velmora::ui::ResultGrid::RankColumn, r);
                const QColor c = ResultMap::MarkerColour(rank.toInt());
                const QJsonObject m = marker(d, r);
                if (m.value(QStringLiteral("label")).toString() != (rank.isEmpty() ? QStringLiteral("－") : rank)
                    || m.value(QStringLiteral("colour")).toString()
                        != QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue())
                    || !m.value(QStringLiteral("tip")).toString().startsWith(form->StringGrid->Cell(1, r).toHtmlEscaped()))
                    return false;
            }
            return true;
        }, 5000));
    }

    QTemporaryDir tileDir;
    std::unique_ptr<LocalWebServer> tiles;
};

TEST_F(ResultMapTest, MapAndGridAreOneView)
{
    useTiles(tiles->url(QStringLiteral("tile.png")) + QStringLiteral("?z={z}&x={x}&y={y}"));
    startShown();
    EXPECT_EQ(map()->view(), nullptr); // nothing of the browser before the page is shown
    calculateAt(tsuX(), tsuY());
    openMap();
    expectMarkersAsGrid();

    QJsonObject d = drawn();
    EXPECT_DOUBLE_EQ(d.value(QStringLiteral("circle")).toDouble(), 60000);
    EXPECT_TRUE(d.value(QStringLiteral("scale")).toBool());
    EXPECT_TRUE(d.value(QStringLiteral("attribution")).toString().contains(QStringLiteral("代用タイル")));
    EXPECT_TRUE(WaitUntil([&] { return drawn().value(QStringLiteral("tilesLoaded")).toInt() > 0; }, 10000));
    EXPECT_FALSE(drawn().value(QStringLiteral("tileNote")).toBool());

    // Grid to map: the selected row's marker is marked and the line ends there.
    form->StringGrid->SetCurrentCell(1, 3);
    ASSERT_TRUE(WaitUntil([&] { return marker(drawn(), 3).value(QStringLiteral("selected")).toBool(); }, 5000));
    d = drawn();
    EXPECT_FALSE(marker(d, 1).value(QStringLiteral("selected")).toBool());
    const QJsonArray line = d.value(QStringLiteral("line")).toArray();
    ASSERT_EQ(line.size(), 2);
    EXPECT_NE(line.at(0), line.at(1));

    // Map to grid: a click on a marker selects its row.
    bool clicked = false;
    map()->view()->page()->runJavaScript(QStringLiteral("velmoraMap.click(2)"), QWebEngineScript::MainWorld,
                                         [&clicked](const QVariant& v) { clicked = v.toBool(); });
    ASSERT_TRUE(WaitUntil([&] { return clicked && form->StringGrid->Row() == 2 && form->selectedRow == 2; }, 5000));
    EXPECT_EQ(form->StringGrid->Col(), 1); // no cell editor opened

    // A recalculation: a long road distance typed for the first-ranked site
    // moves it down; its marker follows, the map is not rebuilt.
    const QString first = form->StringGrid->Cell(1, 1);
    form->StringGrid->SetCurrentCell(3, 1);
    form->StringGrid->SetCell(3, 1, QStringLiteral("59"));
    QChar enter(u'\r');
    form->StringGrid->StringGridKeyPress(enter);
    ASSERT_NE(form->StringGrid->Cell(1, 1), first);
    expectMarkersAsGrid();
    EXPECT_EQ(drawn().value(QStringLiteral("tilesFailed")).toInt(), 0);
}

TEST_F(ResultMapTest, WithoutTilesTheResultStillShowsWithANote)
{
    const QString address = tiles->url(QStringLiteral("tile.png")) + QStringLiteral("?z={z}&x={x}&y={y}");
    tiles.reset(); // nothing listens there any more
    useTiles(address);
    startShown();
    calculateAt(tsuX(), tsuY());
    openMap();
    expectMarkersAsGrid();
    ASSERT_TRUE(WaitUntil([&] { return drawn().value(QStringLiteral("tileNote")).toBool(); }, 15000));
    const QJsonObject d = drawn();
    EXPECT_EQ(d.value(QStringLiteral("tilesLoaded")).toInt(), 0);
    EXPECT_TRUE(d.value(QStringLiteral("scale")).toBool());
    EXPECT_DOUBLE_EQ(d.value(QStringLiteral("circle")).toDouble(), 60000);
}

// "GeoJSON保存" writes the file velmora-calc writes for the same calculation.
TEST_F(ResultMapTest, SavedGeoJsonIsTheCalculatorsFile)
{
    startShown();
    calculateAt(tsuX(), tsuY());
    QProcess calc;
    calc.start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"),
               {QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"), tsuX(), QStringLiteral("--y"), tsuY(),
                QStringLiteral("--format"), QStringLiteral("geojson")});
    ASSERT_TRUE(calc.waitForFinished(60000));
    ASSERT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
    EXPECT_EQ(form->resultExport->GeoJson(), calc.readAllStandardOutput());
    EXPECT_EQ(form->findChild<QPushButton*>(QStringLiteral("ButtonSaveGeoJson"))->text(), QStringLiteral("GeoJSON保存"));
}

} // namespace
