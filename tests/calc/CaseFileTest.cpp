#include "calc/CaseFile.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace velmora::calc;
using Source = CDisplayCalcResultData::DistanceSource;

namespace {

CaseData SampleCase()
{
    CaseData d;
    d.xText = QStringLiteral("-110000.5");
    d.yText = QStringLiteral("57000");
    d.district = QStringLiteral("津");
    d.costItem = QStringLiteral("ｺﾝｸﾘｰﾄ塊");
    d.transportType = QStringLiteral("殻運搬");
    d.debrisWork = QStringLiteral("構造物取壊し");
    d.loading = QStringLiteral("機械積込");
    d.did = true;
    d.sortMode = 1;
    d.bidCase = {QStringLiteral("2026-0102"), QStringLiteral("一級河川 安濃川 護岸工事")};
    d.rows = {{QStringLiteral("A処分場"), 12.3, Source::RoutePage, d.xText, d.yText, 0},
              {QStringLiteral("B処分場"), 0.1 + 0.2, Source::Typed, d.xText, d.yText, 4500},
              {QStringLiteral("C処分場"), 0, Source::None, QString(), QString(), 800}};
    return d;
}

CaseLists SampleLists()
{
    CaseLists l;
    l.districts = {QStringLiteral("四日市"), QStringLiteral("津")};
    l.packageCostItems = {QStringLiteral("ｺﾝｸﾘｰﾄ塊")};
    l.labourCostItems = {QStringLiteral("ｺﾝｸﾘｰﾄ塊")};
    l.packageTransportTypes = [](int) { return QStringList{QStringLiteral("殻運搬")}; };
    l.labourTransportTypes = l.packageTransportTypes;
    l.debrisWorks = [](int) { return QStringList{QStringLiteral("構造物取壊し")}; };
    l.loadings = [](int, int) { return QStringList{QStringLiteral("人力積込"), QStringLiteral("機械積込")}; };
    l.siteNames = [](int) { return QStringList{QStringLiteral("A処分場"), QStringLiteral("B処分場"), QStringLiteral("C処分場")}; };
    return l;
}

QString RefusalOf(const QByteArray& bytes)
{
    try {
        ReadCase(bytes);
    } catch (const CaseFileError& e) {
        return e.message();
    }
    return QString();
}

TEST(CaseFile, EverythingComesBackAndTheListsGiveTheIndexes)
{
    const CaseData d = SampleCase();
    const QByteArray bytes = WriteCase(d);
    const CaseData back = ReadCase(bytes);
    EXPECT_EQ(WriteCase(back), bytes);
    EXPECT_EQ(back.xText, d.xText);
    EXPECT_EQ(back.bidCase.name, d.bidCase.name);
    ASSERT_EQ(back.rows.size(), 3u);
    // Distances come back to the last bit, with their source.
    EXPECT_EQ(back.rows[1].transportDistance, 0.1 + 0.2);
    EXPECT_EQ(back.rows[0].source, Source::RoutePage);
    EXPECT_EQ(back.rows[1].source, Source::Typed);
    EXPECT_EQ(back.rows[2].manualFee, 800);
    EXPECT_EQ(back.rows[2].source, Source::None);

    const CaseIndexes at = ResolveCase(back, SampleLists());
    EXPECT_EQ(at.district, 1);
    EXPECT_EQ(at.costItem, 0);
    EXPECT_EQ(at.loading, 1);
}

TEST(CaseFile, RefusesOtherFilesNewerVersionsAndWhatTheDeploymentLacks)
{
    EXPECT_EQ(RefusalOf("district,x\n1,2\n"), QStringLiteral("このファイルは案件ファイルではありません。"));
    EXPECT_EQ(RefusalOf(R"({"name": "something else", "version": 1})"), QStringLiteral("このファイルは案件ファイルではありません。"));

    QJsonObject newer = QJsonDocument::fromJson(WriteCase(SampleCase())).object();
    newer.insert(QStringLiteral("version"), 2);
    EXPECT_TRUE(RefusalOf(QJsonDocument(newer).toJson()).contains(QStringLiteral("新しい版（2）")));

    QJsonObject far = QJsonDocument::fromJson(WriteCase(SampleCase())).object();
    far.insert(QStringLiteral("rows"), QJsonDocument::fromJson(R"([{"site": "A処分場", "transportDistance": 61,
        "distanceSource": "typed", "measuredFrom": {"x": "1", "y": "2"}}])").array());
    EXPECT_TRUE(RefusalOf(QJsonDocument(far).toJson()).contains(QStringLiteral("transportDistance")));

    // Every missing name is listed, not only the first.
    CaseData gone = SampleCase();
    gone.district = QStringLiteral("伊賀");
    gone.rows[0].site = QStringLiteral("閉鎖した処分場");
    try {
        ResolveCase(gone, SampleLists());
        FAIL() << "accepted";
    } catch (const CaseFileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("地区「伊賀」"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("処分場「閉鎖した処分場」"))) << e.what();
    }
    CaseData elsewhere = SampleCase();
    elsewhere.rows[1].fromX = QStringLiteral("-120000");
    EXPECT_THROW(ResolveCase(elsewhere, SampleLists()), CaseFileError);
}

} // namespace
