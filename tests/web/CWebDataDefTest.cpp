#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "support/TempDeployment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace names = velmora::web::names;
using velmora::data::IniEncoding;
using velmora::test::TempDeployment;

namespace {

const QString Definitions = QStringLiteral(
    "; definitions of the bid-information service\r\n"
    "[url]\r\n"
    "  home = https://bid.example.jp/top?a=1  \r\n"
    "MieClickMaps=https://maps.example.jp/mie/\r\n"
    "[URL_click]\r\n"
    "tenpu=\r\n"
    "gis=/gis/\r\n"
    "[not_show_HP]\r\n"
    "https://bid.example.jp/x?y=1\r\n"
    ";https://bid.example.jp/commented\r\n"
    "https://bid.example.jp/plain\r\n"
    "[GIS_tiliin]\r\n"
    "maps.gsi.go.jp\r\n"
    "cyberjapandata\r\n"
    "[javascript]\r\n"
    "; only a comment: the section counts as absent\r\n"
    "[地図]\r\n"
    "名前=三重県\r\n");

CWebDataDef definitions(IniEncoding encoding = IniEncoding::Cp932)
{
    TempDeployment dep;
    dep.writeIni(QStringLiteral("status/WebDataDef.ini"), Definitions, encoding);
    return CWebDataDef(dep.path(QStringLiteral("status/WebDataDef.ini")));
}

TEST(CWebDataDef, ValuesIgnoreNameCaseAndSurroundingBlanksInEveryEncoding)
{
    for (IniEncoding encoding : {IniEncoding::Cp932, IniEncoding::Utf8Bom, IniEncoding::Utf16LeBom, IniEncoding::Utf16BeBom}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        const CWebDataDef def = definitions(encoding);
        EXPECT_EQ(def.ReadValue(names::section::URL, names::key::home), QStringLiteral("https://bid.example.jp/top?a=1"));
        EXPECT_EQ(def.ReadValue(QStringLiteral("URL"), QStringLiteral("MIECLICKMAPS")), QStringLiteral("https://maps.example.jp/mie/"));
        EXPECT_EQ(def.ReadValue(QStringLiteral("地図"), QStringLiteral("名前")), QStringLiteral("三重県"));
        EXPECT_TRUE(def.ReadValue(names::section::URL, names::key::GoogleMaps).isEmpty());
        EXPECT_TRUE(def.ReadValue(QStringLiteral("nothing"), names::key::home).isEmpty());
    }
}

TEST(CWebDataDef, ListSectionsTakeLinesWholeAndAbsentSectionsLeaveTheListAlone)
{
    const CWebDataDef def = definitions();
    QStringList lines{QStringLiteral("kept")};
    def.ReadSectionLines(names::section::not_show_HP, &lines);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("https://bid.example.jp/x?y=1"), QStringLiteral("https://bid.example.jp/plain")}));

    lines = QStringList{QStringLiteral("kept")};
    def.ReadSectionLines(names::section::javascript, &lines);
    def.ReadSectionLines(names::section::tiliin_get_x_y, &lines);
    EXPECT_EQ(lines, QStringList{QStringLiteral("kept")});
    def.ReadSectionLines(names::section::GIS_tiliin, nullptr);
}

TEST(CWebDataDef, ValueTestsTreatMissingKeysAsEmptyAndAbsentSectionsAsFalse)
{
    const CWebDataDef def = definitions();
    // Present section, missing key: equals only the empty text.
    EXPECT_TRUE(def.ValueEquals(names::section::URL_click, names::key::javascript_void, QString()));
    EXPECT_FALSE(def.ValueEquals(names::section::URL_click, names::key::javascript_void, QStringLiteral("javascript:void(0)")));
    // Absent section (no entry lines): false even for the empty text.
    EXPECT_FALSE(def.ValueEquals(names::section::javascript, names::key::calcRoute, QString()));
    EXPECT_TRUE(def.ValueEquals(names::section::URL, names::key::home, QStringLiteral("https://bid.example.jp/top?a=1")));
    EXPECT_FALSE(def.ValueEquals(names::section::URL, names::key::home, QStringLiteral("HTTPS://bid.example.jp/top?a=1")));

    // An empty or missing value never occurs in an address.
    EXPECT_FALSE(def.ContainsValue(names::section::URL_click, names::key::tenpu, QStringLiteral("https://bid.example.jp/tenpu/1")));
    EXPECT_FALSE(def.ContainsValue(names::section::URL_click, names::key::koukoku, QStringLiteral("anything")));
    EXPECT_TRUE(def.ContainsValue(names::section::URL_click, names::key::gis, QStringLiteral("https://bid.example.jp/gis/case?1")));
    EXPECT_FALSE(def.ContainsValue(names::section::URL_click, names::key::gis, QStringLiteral("https://bid.example.jp/GIS/case")));
    EXPECT_FALSE(def.ContainsValue(names::section::javascript, names::key::gis, QStringLiteral("/gis/")));
}

TEST(CWebDataDef, LineTestsCompareWholeLinesOrFindThemInTheCandidate)
{
    const CWebDataDef def = definitions();
    EXPECT_TRUE(def.LineEquals(names::section::not_show_HP, QStringLiteral("https://bid.example.jp/x?y=1")));
    EXPECT_FALSE(def.LineEquals(names::section::not_show_HP, QStringLiteral("https://bid.example.jp/x?y=1&z")));
    EXPECT_FALSE(def.LineEquals(names::section::not_show_HP, QStringLiteral("https://bid.example.jp/commented")));
    EXPECT_TRUE(def.ContainsLine(names::section::GIS_tiliin, QStringLiteral("https://cyberjapandata.example/x")));
    EXPECT_FALSE(def.ContainsLine(names::section::GIS_tiliin, QStringLiteral("https://maps.example.jp/")));
    EXPECT_FALSE(def.ContainsLine(names::section::GIS_MieClickMaps, QStringLiteral("maps.gsi.go.jp")));
}

class SharedWebDataDef : public ::testing::Test
{
protected:
    void SetUp() override { ResetSharedWebDataDefForTesting(); }
    void TearDown() override { ResetSharedWebDataDefForTesting(); }
    TempDeployment dep;
};

TEST_F(SharedWebDataDef, MissingFileRaisesTheStartUpErrorAndStoresNothing)
{
    EXPECT_EQ(velmora::web::DefaultWebDataDefPath(), dep.exeDir() + QStringLiteral("status/WebDataDef.ini"));
    try {
        CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath());
        FAIL() << "no error";
    } catch (const velmora::web::WebDataDefMissing& e) {
        EXPECT_EQ(e.fileName(), QStringLiteral("WebDataDef.ini"));
        EXPECT_EQ(e.message(), QStringLiteral("ファイルを開く事ができませんでした。\nファイル名：WebDataDef.ini"));
    }
    EXPECT_FALSE(GetSharedWebDataDef());

    // A folder of that name is no definitions file either.
    dep.writeBytes(QStringLiteral("status/WebDataDef.ini/x"), "x");
    EXPECT_THROW(CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath()), velmora::web::WebDataDefMissing);
    EXPECT_FALSE(GetSharedWebDataDef());
}

TEST_F(SharedWebDataDef, FirstInstanceStaysAndHoldersOutliveAReset)
{
    dep.writeIni(QStringLiteral("status/WebDataDef.ini"), QStringLiteral("[URL]\r\nhome=first\r\n"));
    dep.writeIni(QStringLiteral("other.ini"), QStringLiteral("[URL]\r\nhome=second\r\n"));
    const auto first = CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath());
    ASSERT_TRUE(first);
    EXPECT_EQ(CreateSharedWebDataDef(dep.path(QStringLiteral("other.ini"))), first);
    EXPECT_EQ(CreateSharedWebDataDef(dep.path(QStringLiteral("absent.ini"))), first);
    EXPECT_EQ(GetSharedWebDataDef(), first);

    // Never read again: an edit takes effect only with a new instance.
    dep.writeIni(QStringLiteral("status/WebDataDef.ini"), QStringLiteral("[URL]\r\nhome=edited\r\n"));
    EXPECT_EQ(GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::home), QStringLiteral("first"));

    ResetSharedWebDataDefForTesting();
    EXPECT_FALSE(GetSharedWebDataDef());
    EXPECT_EQ(first->ReadValue(names::section::URL, names::key::home), QStringLiteral("first"));
    EXPECT_EQ(CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath())->ReadValue(names::section::URL, names::key::home),
              QStringLiteral("edited"));
}

} // namespace

// The office's own files over the shipped one: a key replaces that key, a
// list section the whole list, and the user's file wins over the office's.
TEST_F(SharedWebDataDef, TheOfficesFilesOverrideKeyByKeyAndListByList)
{
    dep.writeIni(QStringLiteral("status/WebDataDef.ini"), Definitions);
    dep.writeIni(QStringLiteral("office.ini"), QStringLiteral("[URL]\r\nGoogleMaps=https://office.example/route-google.html?key=OFFICE\r\n"
                                                              "home=https://office.example/home\r\n"
                                                              "[not_show_HP]\r\nhttps://office.example/hidden\r\n"
                                                              "[javascript]\r\ncalcMatrix=javascript:calcMatrix()\r\n"));
    dep.writeIni(QStringLiteral("user.ini"), QStringLiteral("[url]\r\nGoogleMaps=https://office.example/route-google.html?key=MINE\r\n"),
                 IniEncoding::Utf8Bom);
    const CWebDataDef def(dep.path(QStringLiteral("status/WebDataDef.ini")),
                          {dep.path(QStringLiteral("user.ini")), dep.path(QStringLiteral("absent.ini")), dep.path(QStringLiteral("office.ini"))});
    EXPECT_EQ(def.ReadValue(names::section::URL, names::key::GoogleMaps), QStringLiteral("https://office.example/route-google.html?key=MINE"));
    EXPECT_EQ(def.ReadValue(names::section::URL, names::key::home), QStringLiteral("https://office.example/home"));
    EXPECT_EQ(def.ReadValue(names::section::URL, names::key::MieClickMaps), QStringLiteral("https://maps.example.jp/mie/"));
    EXPECT_TRUE(def.LineEquals(names::section::not_show_HP, QStringLiteral("https://office.example/hidden")));
    EXPECT_FALSE(def.LineEquals(names::section::not_show_HP, QStringLiteral("https://bid.example.jp/plain")));
    // A section the shipped file lacks comes from the office's file alone.
    EXPECT_TRUE(def.ValueEquals(names::section::javascript, names::key::calcMatrix, QStringLiteral("javascript:calcMatrix()")));

    // The shared instance reads the office's files from the configuration folders.
    QTemporaryDir config;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QDir().mkpath(config.filePath(QStringLiteral("velmora")));
    QFile::copy(dep.path(QStringLiteral("user.ini")), config.filePath(QStringLiteral("velmora/WebDataDef.ini")));
    EXPECT_EQ(velmora::web::OfficeWebDataDefPaths().value(0), config.filePath(QStringLiteral("velmora/WebDataDef.ini")));
    const auto shared = CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath());
    qputenv("XDG_CONFIG_HOME", previous);
    EXPECT_TRUE(shared->ReadValue(names::section::URL, names::key::GoogleMaps).endsWith(QStringLiteral("key=MINE")));
}
