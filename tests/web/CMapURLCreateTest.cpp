#include "web/CMapURLCreate.h"

#include "data/IniFile.h"
#include "support/LocalWebServer.h"
#include "support/StandInWebDataDef.h"
#include "web/CWebDataDef.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <boost/make_shared.hpp>

namespace {

class MapUrl : public ::testing::Test
{
protected:
    void TearDown() override { ResetSharedWebDataDefForTesting(); }

    static void Use(const QString& iniText)
    {
        const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + iniText.toUtf8();
        SetSharedWebDataDefForTesting(
            boost::make_shared<CWebDataDef>(CWebDataDef::fromIni(velmora::data::IniFile::fromBytes(bytes))));
    }

    static QString Convert(const QString& address, int* kind)
    {
        CMapURLCreate creator;
        const QString result = creator.CreateMapURL(address);
        *kind = creator.GetMapKind();
        return result;
    }
};

const QString kDefinitions = QStringLiteral(
    "[URL]\n"
    "MieClickMaps=https://mcm.example/map.html\n"
    "[GIS_tiliin]\n"
    "gsi.example/\n"
    "[GIS_MieClickMaps]\n"
    "mcm.example/\n"
    "[tiliin_get_lat_lon]\n"
    "%*[^?]?ll=%[^,]\n"                 // one field only: never a match
    "%*[^?]?lat=%d&lon=%d\n"            // not a string conversion: refused
    "%*[^#]#%*[^/]/%[^/]/%[^/&]\n"
    "[tiliin_get_x_y]\n"
    "%*[^?]?x=%[^&]&y=%[^&#]\n"
    "[MieClickMaps_get_lat_lon]\n"
    "%*[^?]?lat=%[^&]&lon=%[^&#]\n"
    "[MieClickMaps_get_x_y]\n"
    "%*[^?]?X=%[^&]&Y=%[^&#]\n"
    "[MieClickMaps_set_lat_lon]\n"
    "left=https://mcm.example/map.html?lat=\n"
    "center=&lon=\n"
    "right=&z=5\n"
    "[MieClickMaps_set_x_y]\n"
    "left=https://mcm.example/map.html?x=\n"
    "center=&y=\n");

} // namespace

TEST_F(MapUrl, GsiAddressesTakeTheFirstPatternThatAssignsTwoFields)
{
    Use(kDefinitions);
    int kind = -1;
    // The one-field and the "%d" patterns come first and must be passed over.
    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/?ll=34.7,136.5#16/34.718440/136.505780/"), &kind),
              QStringLiteral("https://mcm.example/map.html?lat=34.718440&lon=136.505780&z=5"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindGsi);

    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/index.html?x=-142054.8&y=46324.9"), &kind),
              QStringLiteral("https://mcm.example/map.html?x=-142054.8&y=46324.9"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindGsi);
}

TEST_F(MapUrl, MieClickMapsAddressesAreRebuiltInTheCanonicalForm)
{
    Use(kDefinitions);
    int kind = -1;
    EXPECT_EQ(Convert(QStringLiteral("https://mcm.example/other.html?lat=34.9&lon=136.6&layer=road"), &kind),
              QStringLiteral("https://mcm.example/map.html?lat=34.9&lon=136.6&z=5"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindMieClickMaps);
    EXPECT_EQ(Convert(QStringLiteral("https://mcm.example/m?X=-1.5&Y=2"), &kind),
              QStringLiteral("https://mcm.example/map.html?x=-1.5&y=2"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindMieClickMaps);
}

TEST_F(MapUrl, RecognisedMapsWithoutPositionGiveTheFallbackAndKeepTheirKind)
{
    Use(kDefinitions);
    int kind = -1;
    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/?ll=34.7,136.5"), &kind), QStringLiteral("https://mcm.example/map.html"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindGsi);
    EXPECT_EQ(Convert(QStringLiteral("https://mcm.example/map.html"), &kind), QStringLiteral("https://mcm.example/map.html"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindMieClickMaps);
}

TEST_F(MapUrl, OtherAddressesAreKindTwoWithNoAddress)
{
    Use(kDefinitions);
    int kind = -1;
    EXPECT_EQ(Convert(QString(), &kind), QString());
    EXPECT_EQ(kind, CMapURLCreate::MapKindOther);
    EXPECT_EQ(Convert(QStringLiteral("https://othermap.example/#16/34.7/136.5/"), &kind), QString());
    EXPECT_EQ(kind, CMapURLCreate::MapKindOther);
}

TEST_F(MapUrl, AnAddressOfBothMapsCountsAsGsi)
{
    Use(kDefinitions);
    int kind = -1;
    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/?from=mcm.example/#1/2/3/"), &kind),
              QStringLiteral("https://mcm.example/map.html?lat=2&lon=3&z=5"));
    EXPECT_EQ(kind, CMapURLCreate::MapKindGsi);
}

TEST_F(MapUrl, WithoutPatternsOrPiecesNothingBreaks)
{
    Use(QStringLiteral("[GIS_tiliin]\ngsi.example/\n[tiliin_get_x_y]\n%*[^?]?x=%[^&]&y=%s\n"));
    int kind = -1;
    // No fallback page and no pieces: an empty fallback, and the bare fields.
    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/#16/34.7/136.5/"), &kind), QString());
    EXPECT_EQ(kind, CMapURLCreate::MapKindGsi);
    EXPECT_EQ(Convert(QStringLiteral("https://gsi.example/?x=1&y=2"), &kind), QStringLiteral("12"));
}

// The stand-in case pages must agree with the tests' definitions and with the
// sample deployment's, which point at the same pages on the demo server:
// each map link of a case page converts the way the bid-information tests expect.
namespace {

void ExpectCaseLinksConvert(const QString& host)
{
    QFile page(velmora::test::LocalWebServer::StandInPagesDir() + QStringLiteral("/nyusatsu/case.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    QMap<QString, QString> links;
    QRegularExpression entry(QStringLiteral("'(\\d{4}-\\d{4})': \\{[^}]*map: '([^']*)'"));
    for (auto it = entry.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        links.insert(m.captured(1), QStringLiteral("http://") + host + m.captured(2));
    }
    ASSERT_EQ(links.size(), 5);
    const QString map = QStringLiteral("http://") + host + QStringLiteral("/mieclickmaps/map.html");
    const auto convert = [](const QString& address, int* kind) {
        CMapURLCreate creator;
        const QString result = creator.CreateMapURL(address);
        *kind = creator.GetMapKind();
        return result;
    };
    const auto gis = GetSharedWebDataDef()->ReadValue(QStringLiteral("URL_click"), QStringLiteral("gis"));
    for (const QString& link : links)
        EXPECT_TRUE(link.contains(gis)) << link.toStdString();
    int kind = -1;
    EXPECT_EQ(convert(links.value(QStringLiteral("2026-0101")), &kind), map + QStringLiteral("?lat=34.718440&lon=136.505780"));
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(convert(links.value(QStringLiteral("2026-0102")), &kind), map + QStringLiteral("?x=-139512.35&y=44876.12"));
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(convert(links.value(QStringLiteral("2026-0103")), &kind), map);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(convert(links.value(QStringLiteral("2026-0104")), &kind), QString());
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(convert(links.value(QStringLiteral("2026-0105")), &kind), map + QStringLiteral("?x=-155120.4&y=36290.8"));
    EXPECT_EQ(kind, 0);
    // A link to the real GSI map reads the same way.
    EXPECT_EQ(convert(QStringLiteral("https://maps.gsi.go.jp/#15/34.965000/136.624000/&base=std&ls=std"), &kind),
              map + QStringLiteral("?lat=34.965000&lon=136.624000"));
}

} // namespace

TEST_F(MapUrl, StandInCaseLinksConvertWithTheTestDefinitions)
{
    const QString host = QStringLiteral("127.0.0.1:4321");
    QString text = velmora::test::StandInWebDataDefText(host);
    // The tests' definitions know only the stand-in GSI map; add the real one.
    text.replace(QStringLiteral("[GIS_tiliin]\n"), QStringLiteral("[GIS_tiliin]\nmaps.gsi.go.jp/\n"));
    Use(text);
    ExpectCaseLinksConvert(host);
}

TEST_F(MapUrl, StandInCaseLinksConvertWithTheSampleDeployment)
{
    SetSharedWebDataDefForTesting(
        boost::make_shared<CWebDataDef>(QStringLiteral(VELMORA_BIN_DIR "/status/WebDataDef.ini")));
    ASSERT_TRUE(GetSharedWebDataDef()->IsLoaded());
    ExpectCaseLinksConvert(QStringLiteral("127.0.0.1:8765"));
}
