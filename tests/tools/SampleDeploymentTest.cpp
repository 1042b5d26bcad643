// Consistency of the sample deployment the build lays out beside the
// executables. Mistakes in these tables do not crash anything: a missing
// package group silently keeps the previous group's prices, a mistyped cost
// item drops a site, a second key in a file name swaps a table. So each check
// here reads the shipped files the way the program does, in a copy decoded
// with the program's own routine (the build's deployment is never written).

#include "data/CEnDecryption.h"
#include "data/Error.h"
#include "data/FindDataFileName.h"
#include "data/IniFile.h"
#include "data/MatchesCostItem.h"
#include "data/NumberText.h"
#include "data/TextFiles.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <cwchar>
#include <map>
#include <optional>
#include <vector>

using velmora::data::IniFile;
using velmora::data::ReadLineFile;
using velmora::data::SplitCommaText;
using velmora::data::SplitStrict;
using velmora::test::TempDeployment;

namespace {

const QString kSampleDir = QStringLiteral(VELMORA_BIN_DIR);

QStringList allKeys()
{
    QStringList keys;
    for (const QString& key : CEnDecryption::ScrambledKeys())
        keys << key << u'D' + key.mid(1);
    return keys;
}

QStringList keysIn(const QString& name)
{
    QStringList found;
    for (const QString& key : allKeys())
        if (name.contains(key))
            found.append(key);
    return found;
}

std::optional<double> number(const QString& text)
{
    try {
        return StrToFloat(text);
    } catch (const velmora::Error&) {
        return std::nullopt;
    }
}

std::optional<int> integer(const QString& text)
{
    try {
        return StrToInt(text);
    } catch (const velmora::Error&) {
        return std::nullopt;
    }
}

// The texts of one selection on the condition panel, as the Calc path hands
// them to the package table, and the key line meant to answer them.
struct Combination
{
    QString description;
    QStringList texts;
    QStringList keyPieces;
};

class SampleDeploymentTest : public ::testing::Test
{
protected:
    TempDeployment dep;
    CEnDecryption decoder;

    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(kSampleDir + QStringLiteral("/dat")).isDir()) << "the build lays out the sample deployment";
        dep.copySampleDeployment();
        decoder.DecryptDataFiles();
    }

    QStringList working(const char* key) const
    {
        const QString name = FindDataFileName(QString::fromLatin1(key), dep.dataDir());
        EXPECT_FALSE(name.isEmpty()) << key;
        return ReadLineFile(dep.dataDir() + name);
    }

    IniFile ini(const QString& relative, IniFile::Decode decode = IniFile::Decode::FromMark) const
    {
        const IniFile file = IniFile::load(dep.path(relative), decode);
        EXPECT_TRUE(file.exists()) << relative.toStdString();
        return file;
    }

    IniFile ini(const char* relative) const { return ini(QString::fromUtf8(relative)); }

    // Every selection the construction-package lists can offer, by cost item,
    // transport type and the details each transport type asks for.
    std::vector<Combination> packageCombinations() const
    {
        const IniFile types = ini("dat/SPSyubetsu_RowSource.ini");
        const IniFile works = ini("dat/SPGaraHassei_RowSource.ini");
        const IniFile loadings = ini("dat/SPTsumikomiKubun_RowSource.ini");
        const QStringList costItems = {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("ｱｽﾌｧﾙﾄ殻")};
        const QStringList loadingSections = {QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"), QStringLiteral("吹付法面取壊し(ﾓﾙﾀﾙ)"),
                                             QStringLiteral("舗装版破砕"), QStringLiteral("舗装版破砕積込み(電線共同溝)")};
        std::vector<Combination> out;
        for (int c = 0; c < costItems.size(); ++c) {
            const QStringList typeList = types.sectionLines(costItems.at(c));
            EXPECT_FALSE(typeList.isEmpty()) << costItems.at(c).toStdString();
            // A fifth transport type would reach no package group at all and
            // the previous group's prices would be used without a word.
            EXPECT_LE(typeList.size(), 4) << costItems.at(c).toStdString();
            const QStringList workList = works.sectionLines(costItems.at(c));
            for (int t = 0; t < typeList.size(); ++t) {
                for (const QString& did : {QStringLiteral("有り"), QStringLiteral("無し")}) {
                    const QString type = typeList.at(t);
                    const QString didPiece = QStringLiteral("DID区間:") + did;
                    const QString where = costItems.at(c) + u'/' + type + u'/' + did;
                    switch (t) {
                    case 0:
                        EXPECT_FALSE(workList.isEmpty());
                        EXPECT_LE(workList.size(), 2) << "only works 0 and 1 have loading lists";
                        for (int w = 0; w < workList.size() && w < 2; ++w) {
                            const QStringList loads = loadings.sectionLines(loadingSections.at(c == 2 ? 2 + w : w));
                            EXPECT_FALSE(loads.isEmpty()) << where.toStdString();
                            for (const QString& load : loads)
                                out.push_back({where + u'/' + workList.at(w) + u'/' + load, {type, workList.at(w), load, did},
                                               {type, workList.at(w), load, didPiece}});
                        }
                        break;
                    case 1:
                        for (const QString& carry : {QStringLiteral("持込"), QStringLiteral("貸与")})
                            out.push_back({where + u'/' + carry, {type, QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物"), carry, did},
                                           {type, QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ") + carry, didPiece}});
                        break;
                    case 2:
                        out.push_back({where, {type, did}, {type, didPiece}});
                        break;
                    case 3:
                        out.push_back({where, {type, QStringLiteral("ｱｽﾌｧﾙﾄ塊"), did}, {type, QStringLiteral("ｱｽﾌｧﾙﾄ塊"), didPiece}});
                        break;
                    }
                }
            }
        }
        return out;
    }
};

TEST_F(SampleDeploymentTest, EveryTableShipsOnceUnderANameHoldingOnlyItsOwnKey)
{
    const QStringList shipped = QDir(kSampleDir + QStringLiteral("/dat")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const QStringList iniFiles = {QStringLiteral("DTTankaSuryo.ini"), QStringLiteral("SyobunjoKikakuSource.ini"),
                                  QStringLiteral("Himoku_RowSource.ini"), QStringLiteral("Syubetsu_RowSource.ini"),
                                  QStringLiteral("SPHimoku_RowSource.ini"), QStringLiteral("SPSyubetsu_RowSource.ini"),
                                  QStringLiteral("SPGaraHassei_RowSource.ini"), QStringLiteral("SPTsumikomiKubun_RowSource.ini")};
    QMap<QString, int> tables;
    for (const QString& name : shipped) {
        SCOPED_TRACE(name.toStdString());
        const QStringList keys = keysIn(name);
        if (iniFiles.contains(name)) {
            EXPECT_TRUE(keys.isEmpty());
            continue;
        }
        // Anything else in dat/ is a table (a left-over file would be found by its key).
        ASSERT_EQ(keys.size(), 1) << keys.join(u' ').toStdString();
        ASSERT_TRUE(name.startsWith(keys.first())) << "a shipped table's name begins with its key";
        ++tables[keys.first()];
        // Its working file must not answer a later lookup for another key.
        EXPECT_EQ(keysIn(u'D' + name.mid(1)), QStringList{u'D' + keys.first().mid(1)});
    }
    for (const QString& key : CEnDecryption::ScrambledKeys())
        EXPECT_EQ(tables.value(key), 1) << key.toStdString();
    for (const QString& name : iniFiles)
        EXPECT_TRUE(shipped.contains(name)) << name.toStdString();

    // Decoding in the program's order gives each working key the content of its own table.
    for (const QString& key : CEnDecryption::ScrambledKeys()) {
        const QString workName = FindDataFileName(u'D' + key.mid(1), dep.dataDir());
        EXPECT_EQ(workName, CEnDecryption::WorkFileName(FindDataFileName(key, dep.dataDir()))) << key.toStdString();
        EXPECT_GT(QFileInfo(dep.dataDir() + workName).size(), 0) << key.toStdString();
    }
}

TEST_F(SampleDeploymentTest, DistrictsAndUnitPricesLineUp)
{
    const QStringList districts = working("DA01").mid(1);
    const QStringList diesel = working("DT02").mid(1);
    EXPECT_EQ(districts.size(), 10);
    ASSERT_EQ(diesel.size(), districts.size()) << "line i of DT02 is the price of district i";
    ASSERT_GE(districts.size(), 4);
    EXPECT_EQ(districts.at(3), QStringLiteral("津")) << "the fourth district is selected when none is saved";
    EXPECT_EQ(QSet<QString>(districts.begin(), districts.end()).size(), districts.size());
    for (const QString& price : diesel)
        EXPECT_GT(integer(price).value_or(0), 0) << price.toStdString();

    const QStringList r01 = working("DR01");
    ASSERT_GE(r01.size(), 2);
    EXPECT_GT(integer(r01.at(1)).value_or(0), 0);
    for (const char* key : {"DS24", "DS22"}) {
        const QStringList perClass = working(key).mid(1);
        ASSERT_EQ(perClass.size(), 3) << key << ": 10t, 4t, 2t";
        for (const QString& price : perClass)
            EXPECT_GT(integer(price).value_or(0), 0) << key;
    }

    const IniFile quantities = ini("dat/DTTankaSuryo.ini");
    EXPECT_EQ(quantities.encoding(), velmora::data::IniEncoding::Utf16LeBom);
    for (const QString& section : {QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量"),
                                  QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)")}) {
        SCOPED_TRACE(section.toStdString());
        const QStringList q = quantities.sectionLines(section);
        ASSERT_EQ(q.size(), 4);
        EXPECT_GT(integer(q.at(0)).value_or(0), 0);
        EXPECT_GT(integer(q.at(1)).value_or(0), 0);
        EXPECT_GT(number(q.at(2)).value_or(0), 0);
        EXPECT_GT(number(q.at(3)).value_or(0), 0);
    }
}

TEST_F(SampleDeploymentTest, SelectionListsAreMarklessCp932AndFitTheTables)
{
    for (const char* name : {"dat/Himoku_RowSource.ini", "dat/Syubetsu_RowSource.ini", "dat/SPHimoku_RowSource.ini",
                             "dat/SPSyubetsu_RowSource.ini", "dat/SPGaraHassei_RowSource.ini", "dat/SPTsumikomiKubun_RowSource.ini"}) {
        SCOPED_TRACE(name);
        const IniFile list = ini(name);
        EXPECT_EQ(list.encoding(), velmora::data::IniEncoding::Cp932);
        for (const QString& section : list.sectionNames())
            for (const QString& entry : list.sectionLines(section))
                EXPECT_FALSE(entry.contains(QChar(QChar::ReplacementCharacter)) || entry.contains(QChar(0x1A)));
    }

    // The labour-rate cost items are the registers' items, in the same order,
    // and each offers no more transport types than the quantities cover.
    const QStringList registers = ini("dat/SyobunjoKikakuSource.ini").sectionLines(QStringLiteral("処分費目"));
    const QStringList himoku = ini("dat/Himoku_RowSource.ini").sectionLines(QStringLiteral("処分費目"));
    ASSERT_EQ(registers.size(), 3);
    ASSERT_EQ(himoku.size(), 3);
    const IniFile types = ini("dat/Syubetsu_RowSource.ini");
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(himoku.at(c).toStdString());
        EXPECT_TRUE(MatchesCostItem(himoku.at(c), registers.at(c)));
        const qsizetype offered = types.sectionLines(himoku.at(c)).size();
        EXPECT_GE(offered, 1);
        EXPECT_LE(offered, c == 2 ? 5 : 4);
    }
    EXPECT_EQ(ini("dat/SPHimoku_RowSource.ini").sectionLines(QStringLiteral("処分費目")).size(), 3);
}

TEST_F(SampleDeploymentTest, EveryTruckClassHasAscendingBandsUpTo60Km)
{
    const QString name = FindDataFileName(QStringLiteral("DB01"), dep.dataDir());
    const IniFile table = IniFile::load(dep.dataDir() + name, IniFile::Decode::AlwaysUtf16Le);
    const QStringList classes = {QStringLiteral("直接掘削積込み10t DID無"), QStringLiteral("直接掘削積込み10t DID有"), QStringLiteral("10t DID無"),
                                 QStringLiteral("10t DID有"), QStringLiteral("4t DID無"), QStringLiteral("4t DID有"),
                                 QStringLiteral("2t DID無 機械"), QStringLiteral("2t DID有 機械"), QStringLiteral("2t DID無 人力"),
                                 QStringLiteral("2t DID有 人力"), QStringLiteral("切削10t DID無"), QStringLiteral("切削10t DID有")};
    for (const QString& truckClass : classes) {
        SCOPED_TRACE(truckClass.toStdString());
        const QStringList bands = table.sectionLines(truckClass);
        ASSERT_FALSE(bands.isEmpty()) << "a class without bands prices every haul at 0";
        double previousLower = -1;
        double previousQuantity = 0;
        for (const QString& band : bands) {
            SCOPED_TRACE(band.toStdString());
            const QStringList fields = SplitCommaText(band);
            ASSERT_GE(fields.size(), 2);
            const std::optional<double> lower = number(fields.at(0));
            const std::optional<double> quantity = number(fields.at(1));
            ASSERT_TRUE(lower && quantity);
            EXPECT_GT(*lower, previousLower);
            // A farther band never takes less truck work.
            EXPECT_GE(*quantity, previousQuantity);
            EXPECT_LT(*quantity * 1.37, 10000.0) << "beyond the decimal range of the cost";
            previousLower = *lower;
            previousQuantity = *quantity;
        }
        EXPECT_EQ(number(SplitCommaText(bands.first()).at(0)).value_or(-1), 0.0) << "the first band starts at the job site";
        // The last band reaches to 60 km, so it covers 60 only if it starts there or below.
        EXPECT_LE(previousLower, 60.0);
    }
}

TEST_F(SampleDeploymentTest, EveryPackageSelectionFindsItsOwnGroupFirst)
{
    const QStringList lines = working("DSP2");
    const std::vector<Combination> combinations = packageCombinations();
    EXPECT_GE(combinations.size(), 38u);
    QSet<int> reached;
    for (const Combination& combination : combinations) {
        SCOPED_TRACE(combination.description.toStdString());
        // The selection's own test: the first line holding every text.
        int keyLine = -1;
        for (int i = 0; i < lines.size() && keyLine < 0; ++i) {
            bool all = true;
            for (const QString& text : combination.texts)
                all = all && MatchesCostItem(lines.at(i), text);
            if (all)
                keyLine = i;
        }
        ASSERT_GE(keyLine, 0) << "no group: the previous selection's prices would be used silently";
        const QString key = lines.at(keyLine);
        ASSERT_TRUE(key.startsWith(u'【') && key.endsWith(u'】')) << "matched a line that is not a key line: " << key.toStdString();
        EXPECT_EQ(key.mid(1, key.size() - 2).split(u'／'), combination.keyPieces) << "hit " << key.toStdString();
        reached.insert(keyLine);
    }

    // Every group is reachable, and its rows are well formed.
    int groups = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).startsWith(u'【'))
            continue;
        ++groups;
        SCOPED_TRACE(lines.at(i).toStdString());
        EXPECT_TRUE(reached.contains(i)) << "no selection reaches this group";
        ASSERT_LT(i + 1, lines.size());
        const QStringList first = SplitCommaText(lines.at(i + 1));
        ASSERT_GE(first.size(), 15);
        const std::optional<int> truckClass = integer(first.at(2));
        ASSERT_TRUE(truckClass);
        EXPECT_TRUE(*truckClass >= 0 && *truckClass <= 2);
        double ratios = 0;
        for (int f : {6, 8, 10}) {
            const double ratio = number(first.at(f)).value_or(-1);
            EXPECT_GE(ratio, 0) << "field " << f;
            ratios += ratio;
        }
        EXPECT_LE(ratios, 100.0);
        for (int f : {7, 9, 11, 12, 13, 14})
            EXPECT_GT(number(first.at(f)).value_or(0), 0) << "field " << f << " divides the adjustment";
        double previousLimit = 0;
        int row = i + 1;
        for (; row < lines.size() && !lines.at(row).isEmpty(); ++row) {
            const QStringList fields = SplitCommaText(lines.at(row));
            ASSERT_GE(fields.size(), 6) << lines.at(row).toStdString();
            const double limit = number(fields.at(1)).value_or(-1);
            EXPECT_GT(limit, previousLimit) << lines.at(row).toStdString();
            EXPECT_GT(number(fields.at(5)).value_or(0), 0) << lines.at(row).toStdString();
            previousLimit = limit;
        }
        EXPECT_GE(previousLimit, 60.0) << "hauls up to 60 km must find a band";
    }
    EXPECT_EQ(groups, reached.size());
}

TEST_F(SampleDeploymentTest, DisposalSitesLieInMieWithFeesAndEnoughPerCostItem)
{
    const QStringList costItems = ini("dat/SyobunjoKikakuSource.ini").sectionLines(QStringLiteral("処分費目"));
    ASSERT_EQ(costItems.size(), 3);

    // Coordinates by key: the register takes the first line, keys without case.
    std::map<QString, std::pair<double, double>> coordinates;
    QSet<QPair<double, double>> places;
    for (const QString& line : working("DC01")) {
        const QStringList fields = SplitCommaText(line);
        ASSERT_GE(fields.size(), 2) << "the key list needs field 1 of every line: " << line.toStdString();
        const std::optional<double> x = fields.size() >= 4 ? number(fields.at(2)) : std::nullopt;
        const std::optional<double> y = fields.size() >= 4 ? number(fields.at(3)) : std::nullopt;
        if (!x || !y)
            continue; // the heading
        const QString key = fields.at(1).toLower();
        EXPECT_EQ(coordinates.count(key), 0u) << "a second line for " << key.toStdString() << " is never read";
        coordinates[key] = {*x, *y};
        // Result rows find their site again by its exact coordinates.
        EXPECT_FALSE(places.contains({*x, *y})) << key.toStdString();
        places.insert({*x, *y});
        // Zone VI: Mie runs from about 33.7 to 35.3 N and 135.85 to 137.0 E.
        EXPECT_TRUE(*x > -256000 && *x < -80000 && *y > -16000 && *y < 93000)
            << key.toStdString() << " at X " << *x << " Y " << *y << " is outside Mie";
    }
    EXPECT_GE(coordinates.size(), 40u);

    std::vector<int> perItem(costItems.size(), 0);
    for (const QString& line : working("DT19")) {
        const QStringList fields = SplitStrict(line);
        if (fields.size() < 22)
            continue;
        SCOPED_TRACE(line.toStdString());
        std::vector<int> items;
        for (int c = 0; c < costItems.size(); ++c)
            if (MatchesCostItem(fields.at(6), costItems.at(c)))
                items.push_back(c);
        const std::optional<int> fee = integer(fields.at(10));
        if (!fee) {
            EXPECT_TRUE(items.empty()) << "a fee that is not a number ends the register's load";
            continue;
        }
        ASSERT_EQ(items.size(), 1u) << "a site line belongs to exactly one register";
        ++perItem[items.front()];
        EXPECT_GT(*fee, 0);
        EXPECT_EQ(fields.at(11), QStringLiteral("m3")) << "the fee is added to a transport cost per m3";
        EXPECT_FALSE(fields.at(7).isEmpty());
        EXPECT_FALSE(fields.at(21).isEmpty()) << "the price source is shown with every fee";
        EXPECT_EQ(coordinates.count(fields.at(5).toLower()), 1u) << "a site without coordinates sits at 0/0";
    }
    for (int c = 0; c < costItems.size(); ++c)
        EXPECT_GE(perItem[c], 10) << costItems.at(c).toStdString();
}

// Two string fields taken from an address by a pattern, as the map link
// conversion does it; nothing when the pattern assigns other than two. The
// patterns are written for a library whose wide "%s" and "%[" store wide
// characters; this one needs the "l" modifier for that.
std::optional<QStringList> scan(const QString& address, const QString& pattern)
{
    const std::wstring text = address.toStdWString();
    QString wide = pattern;
    wide.replace(QRegularExpression(QStringLiteral("%(\\*?)(\\d*)([s\\[])")), QStringLiteral("%\\1\\2l\\3"));
    const std::wstring format = wide.toStdWString();
    std::vector<wchar_t> first(text.size() + 1), second(text.size() + 1);
    if (std::swscanf(text.c_str(), format.c_str(), first.data(), second.data()) != 2)
        return std::nullopt;
    return QStringList{QString::fromWCharArray(first.data()), QString::fromWCharArray(second.data())};
}

int assigningConversions(const QString& pattern)
{
    int count = 0;
    for (int i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern.at(i) != u'%')
            continue;
        if (pattern.at(i + 1) == u'%') {
            ++i;
            continue;
        }
        if (pattern.at(i + 1) != u'*')
            ++count;
    }
    return count;
}

TEST_F(SampleDeploymentTest, WebDefinitionsAreCompleteAndTheirMapAddressesReadBack)
{
    const IniFile defs = ini("status/WebDataDef.ini");
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"URL", "home"}, {"URL", "GoogleMaps"}, {"URL", "MieClickMaps"}, {"javascript", "calcRoute"},
             {"URL_click", "clear"}, {"URL_click", "tenpu"}, {"URL_click", "javascript_void"}, {"URL_click", "koukoku"},
             {"URL_click", "denshi_nyuusatu"}, {"URL_click", "gis"}, {"URL_click", "URL_click"},
             {"MieClickMaps_set_lat_lon", "left"}, {"MieClickMaps_set_lat_lon", "center"},
             {"MieClickMaps_set_x_y", "left"}, {"MieClickMaps_set_x_y", "center"}})
        EXPECT_FALSE(defs.value(QString::fromLatin1(section), QString::fromLatin1(key)).isEmpty()) << section << "/" << key;
    EXPECT_TRUE(defs.value(QStringLiteral("javascript"), QStringLiteral("calcRoute")).startsWith(QStringLiteral("javascript:")));
    for (const char* set : {"MieClickMaps_set_lat_lon", "MieClickMaps_set_x_y"})
        EXPECT_TRUE(defs.hasKey(QString::fromLatin1(set), QStringLiteral("right"))) << set;
    for (const char* list : {"not_show_HP", "GIS_tiliin", "GIS_MieClickMaps"})
        EXPECT_TRUE(defs.hasSection(QString::fromLatin1(list))) << list;
    for (const char* patterns : {"tiliin_get_lat_lon", "tiliin_get_x_y", "MieClickMaps_get_lat_lon", "MieClickMaps_get_x_y"}) {
        ASSERT_TRUE(defs.hasSection(QString::fromLatin1(patterns))) << patterns;
        for (const QString& pattern : defs.sectionLines(QString::fromLatin1(patterns)))
            EXPECT_EQ(assigningConversions(pattern), 2) << patterns << ": " << pattern.toStdString();
    }

    // An address built for the map page is recognised as a map address, lies
    // on the page the capture button accepts, and its patterns give the same
    // pair back: a lat/lon address never read as X/Y or the other way round.
    const QString page = defs.value(QStringLiteral("URL"), QStringLiteral("MieClickMaps"));
    struct Kind
    {
        const char* set;
        const char* first;
        const char* second;
        const char* own;
        const char* other;
    };
    for (const Kind& k : {Kind{"MieClickMaps_set_lat_lon", "34.71844", "136.50578", "MieClickMaps_get_lat_lon", "MieClickMaps_get_x_y"},
                          Kind{"MieClickMaps_set_x_y", "-142054.8", "46324.9", "MieClickMaps_get_x_y", "MieClickMaps_get_lat_lon"}}) {
        SCOPED_TRACE(k.set);
        const QString set = QString::fromLatin1(k.set);
        const QString address = defs.value(set, QStringLiteral("left")) + QString::fromLatin1(k.first) + defs.value(set, QStringLiteral("center")) +
                                QString::fromLatin1(k.second) + defs.value(set, QStringLiteral("right"));
        EXPECT_TRUE(address.contains(page)) << address.toStdString();
        bool recognised = false;
        for (const QString& part : defs.sectionLines(QStringLiteral("GIS_MieClickMaps")))
            recognised = recognised || address.contains(part);
        EXPECT_TRUE(recognised) << address.toStdString();
        for (const QString& part : defs.sectionLines(QStringLiteral("GIS_tiliin")))
            EXPECT_FALSE(address.contains(part)) << "the map page must not pass for the GSI map";

        // Lat/lon patterns are tried first, so an X/Y address must not match them.
        const QString latLonSection = QStringLiteral("MieClickMaps_get_lat_lon");
        std::optional<QStringList> pair;
        const QStringList order = defs.sectionLines(latLonSection) + defs.sectionLines(QStringLiteral("MieClickMaps_get_x_y"));
        const qsizetype latLonCount = defs.sectionLines(latLonSection).size();
        qsizetype matched = -1;
        for (qsizetype i = 0; i < order.size() && !pair; ++i)
            if ((pair = scan(address, order.at(i))))
                matched = i;
        ASSERT_TRUE(pair.has_value()) << address.toStdString();
        EXPECT_EQ(*pair, (QStringList{QString::fromLatin1(k.first), QString::fromLatin1(k.second)}));
        EXPECT_EQ(matched < latLonCount, QString::fromLatin1(k.own) == latLonSection) << "read by the other kind's pattern";
    }
}

TEST_F(SampleDeploymentTest, VersionFileNamesAnEditionAndTheCheckerIsHarmless)
{
    const IniFile version = ini("chk_verup/version.ini");
    const QString name = version.value(QStringLiteral("version"), QStringLiteral("name"));
    ASSERT_GE(name.size(), 6);
    const int year = integer(name.right(6).left(4)).value_or(0);
    const int month = integer(name.right(2)).value_or(0);
    EXPECT_TRUE(year >= 2000 && year <= 2099) << name.toStdString();
    EXPECT_TRUE(month >= 1 && month <= 12) << name.toStdString();
    EXPECT_FALSE(version.value(QStringLiteral("version"), QStringLiteral("ver")).isEmpty());

    const QString checker = dep.path(QStringLiteral("chk_verup/chk_verup"));
    ASSERT_TRUE(QFileInfo(checker).isExecutable());
    const QStringList before = QDir(dep.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QProcess p;
    p.setWorkingDirectory(dep.exeDir());
    p.start(checker, {});
    ASSERT_TRUE(p.waitForFinished(10000)) << "the program starts it at every launch; it must end";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().isEmpty());
    EXPECT_EQ(QDir(dep.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}

} // namespace
