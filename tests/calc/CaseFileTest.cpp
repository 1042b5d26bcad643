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
    d.rows = {{QStringLiteral("A処分場"), 12.3, Source::RoutePage, d.xText, d.yText, 0, QDate(2026, 12, 9)},
              {QStringLiteral("B処分場"), 0.1 + 0.2, Source::Typed, d.xText, d.yText, 4500, QDate()},
              {QStringLiteral("C処分場"), 0, Source::None, QString(), QString(), 800, QDate()}};
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
    EXPECT_EQ(back.rows[0].readOn, QDate(2026, 12, 9));
    EXPECT_FALSE(back.rows[1].readOn.isValid());

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
    newer.insert(QStringLiteral("version"), 3);
    EXPECT_TRUE(RefusalOf(QJsonDocument(newer).toJson()).contains(QStringLiteral("新しい版（3）")));

    // The day a road distance was read: a date, and only for the route page's.
    for (const char* readOn : {R"("readOn": "2026-13-01", "distanceSource": "routePage")",
                               R"("readOn": "2026-12-09", "distanceSource": "typed")"}) {
        QJsonObject bad = QJsonDocument::fromJson(WriteCase(SampleCase())).object();
        bad.insert(QStringLiteral("rows"), QJsonDocument::fromJson(QByteArray(R"([{"site": "A処分場", "transportDistance": 61, )")
                                                                   + readOn + R"(, "measuredFrom": {"x": "1", "y": "2"}}])").array());
        EXPECT_TRUE(RefusalOf(QJsonDocument(bad).toJson()).contains(QStringLiteral("道のり距離の取得日"))) << readOn;
    }

    QJsonObject far = QJsonDocument::fromJson(WriteCase(SampleCase())).object();
    far.insert(QStringLiteral("rows"), QJsonDocument::fromJson(R"([{"site": "A処分場", "transportDistance": 1000.5,
        "distanceSource": "typed", "measuredFrom": {"x": "1", "y": "2"}}])").array());
    EXPECT_EQ(RefusalOf(QJsonDocument(far).toJson()),
              QStringLiteral("案件ファイルの処分場「A処分場」の運搬距離は0km以上1000km以下ではありません。"));

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

// Nothing in a case is read as something else: a choice outside its words,
// a key written twice, two rows for one site, a fee beyond the grid's
// limit, an oversized file are refused, in the estimator's words.
TEST(CaseFile, ReadsStrictly)
{
    const QByteArray good = WriteCase(SampleCase());
    const QList<std::pair<QByteArray, QString>> refused = {
        {QByteArray(good).replace("\"distance\"", "\"Distance\""), QStringLiteral("並び順「Distance」は読めません")},
        {QByteArray(good).replace("\"method\": \"package\"", "\"method\": \"Package\""), QStringLiteral("計算方法「Package」")},
        {QByteArray(good).replace("\"carry\"", "\"Lend\""), QStringLiteral("ダンプトラック「Lend」")},
        {QByteArray(good).replace("\"district\": \"津\"", "\"district\": \"津\", \"district\": \"伊賀\""),
         QStringLiteral("案件ファイルに地区が二度書かれています。")},
        {QByteArray(good).replace("\"C処分場\"", "\"B処分場\""), QStringLiteral("処分場「B処分場」の行が二つあります")},
        {QByteArray(good).replace("\"manualFee\": 800", "\"manualFee\": 2147483647"),
         QStringLiteral("処分場「C処分場」の処分費手入力は0円以上99999999円以下の整数ではありません。")},
        {good + QByteArray(CaseData::MaxFileBytes, ' '), QStringLiteral("案件ファイルが大きすぎます")},
    };
    for (const auto& [bytes, reason] : refused)
        EXPECT_TRUE(RefusalOf(bytes).contains(reason)) << RefusalOf(bytes).toStdString();
    // Escaped, a key is still the same key; in another object, another one.
    EXPECT_FALSE(RefusalOf(QByteArray(good).replace("\"sort\"", "\"sort\": \"amount\", \"\\u0073ort\"")).isEmpty());
    EXPECT_TRUE(RefusalOf(good).isEmpty());
}

TEST(CaseFile, ChangesSinceSavingAreNamedOldToNew)
{
    CaseData saved = SampleCase();
    saved.dataEdition = QStringLiteral("R7.4版");
    saved.shown = {{QStringLiteral("A処分場"), QStringLiteral("4500"), QStringLiteral("1116"), QStringLiteral("5616"), QStringLiteral("1")},
                   {QStringLiteral("B処分場"), QStringLiteral("5000"), QStringLiteral("1000"), QStringLiteral("6000"), QStringLiteral("2")},
                   {QStringLiteral("C処分場"), QStringLiteral("0"), QStringLiteral("900"), QString(), QString()}};
    const CaseData back = ReadCase(WriteCase(saved));
    EXPECT_TRUE(CaseChanges(back, saved.dataEdition, saved.shown).isEmpty());

    std::vector<ShownRow> now = saved.shown;
    now[0] = {QStringLiteral("A処分場"), QStringLiteral("7500"), QStringLiteral("1116"), QStringLiteral("8616"), QStringLiteral("2")};
    now[1].rank = QStringLiteral("1");
    now.pop_back();
    EXPECT_EQ(CaseChanges(back, QStringLiteral("R8.4版"), now),
              QStringList({QStringLiteral("データの版: R7.4版 → R8.4版"),
                           QStringLiteral("A処分場: 5616円・1位 → 8616円・2位（処分費 4500 → 7500）"),
                           QStringLiteral("B処分場: 6000円・2位 → 6000円・1位"), QStringLiteral("C処分場: 合計なし → 一覧になし")}));

    // A file of the first version kept no figures: nothing to compare.
    QJsonObject first = QJsonDocument::fromJson(WriteCase(saved)).object();
    first.insert(QStringLiteral("version"), 1);
    EXPECT_TRUE(CaseChanges(ReadCase(QJsonDocument(first).toJson()), QStringLiteral("R8.4版"), now).isEmpty());
}

} // namespace
