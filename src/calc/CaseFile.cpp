#include "CaseFile.h"

#include "CDisplayCalcResultList.h"
#include "CJobSiteCoordinatesData.h"
#include "COutputDataManager.h"
#include "PackageConditions.h"
#include "ShownDistance.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/FileErrorText.h"
#include "data/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QHash>
#include <QSet>
#include <optional>

namespace velmora::calc {
namespace {

using Source = CDisplayCalcResultData::DistanceSource;

const QString kFormat = QStringLiteral("velmora-case");

QString SourceName(Source source)
{
    switch (source) {
    case Source::RoutePage:
        return QStringLiteral("routePage");
    case Source::Typed:
        return QStringLiteral("typed");
    case Source::None:
        break;
    }
    return QString();
}

// The estimator's word for a field of the file.
QString FieldLabel(const QString& key)
{
    static const QHash<QString, QString> labels{
        {QStringLiteral("version"), QStringLiteral("版")},
        {QStringLiteral("jobSite"), QStringLiteral("工事現場")},
        {QStringLiteral("x"), QStringLiteral("現場X座標")},
        {QStringLiteral("y"), QStringLiteral("現場Y座標")},
        {QStringLiteral("district"), QStringLiteral("地区")},
        {QStringLiteral("method"), QStringLiteral("計算方法")},
        {QStringLiteral("conditions"), QStringLiteral("計算条件")},
        {QStringLiteral("costItem"), QStringLiteral("処分費目")},
        {QStringLiteral("transportType"), QStringLiteral("運搬種別")},
        {QStringLiteral("did"), QStringLiteral("DID")},
        {QStringLiteral("debrisWork"), QStringLiteral("殻発生作業")},
        {QStringLiteral("loading"), QStringLiteral("積込工法区分")},
        {QStringLiteral("refuseKind"), QStringLiteral("塵芥の種類")},
        {QStringLiteral("dumpTruck"), QStringLiteral("ダンプトラック")},
        {QStringLiteral("loadClass"), QStringLiteral("積載区分")},
        {QStringLiteral("sort"), QStringLiteral("並び順")},
        {QStringLiteral("bidCase"), QStringLiteral("入札案件")},
        {QStringLiteral("number"), QStringLiteral("入札案件番号")},
        {QStringLiteral("name"), QStringLiteral("入札案件名")},
        {QStringLiteral("rows"), QStringLiteral("処分場の行")},
        {QStringLiteral("site"), QStringLiteral("処分場名")},
        {QStringLiteral("manualFee"), QStringLiteral("処分費手入力")},
        {QStringLiteral("transportDistance"), QStringLiteral("運搬距離")},
        {QStringLiteral("distanceSource"), QStringLiteral("運搬距離の取得元")},
        {QStringLiteral("measuredFrom"), QStringLiteral("運搬距離の測定地点")},
        {QStringLiteral("readOn"), QStringLiteral("道のり距離の取得日")},
        {QStringLiteral("dataEdition"), QStringLiteral("データの版")},
        {QStringLiteral("shown"), QStringLiteral("保存時の計算結果")},
    };
    return labels.value(key, key);
}

// A case file whose field `what` is missing or holds the wrong kind of
// value, told in the estimator's words (and with the site, for a row).
[[noreturn]] void ThrowMalformed(const QString& what, const QString& site = QString())
{
    const QString field = site.isEmpty() ? FieldLabel(what) : QStringLiteral("処分場「%1」の%2").arg(site, FieldLabel(what));
    throw CaseFileError(QStringLiteral("案件ファイルの%1が正しくありません。").arg(field));
}

// A choice that must be one of its words; a missing optional one reads as
// the first.
QString ChoiceField(const QJsonObject& o, const QString& key, const QStringList& words, bool required)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined() && !required)
        return words.first();
    if (!v.isString() || !words.contains(v.toString()))
        throw CaseFileError(QStringLiteral("案件ファイルの%1「%2」は読めません（%3 のいずれかです）。")
                                .arg(FieldLabel(key), v.isString() ? v.toString() : QStringLiteral("?"), words.join(QStringLiteral("、"))));
    return v.toString();
}

// The first key that appears twice in one object of the (well-formed) JSON
// text, or an empty string. The JSON reader keeps one of the two silently,
// and which one the estimator meant cannot be known.
QString DuplicateKey(const QByteArray& json)
{
    std::vector<std::optional<QSet<QString>>> scopes; // an object's keys; nullopt for an array
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json.at(i);
        if (c == '{') {
            scopes.emplace_back(QSet<QString>());
        } else if (c == '[') {
            scopes.emplace_back(std::nullopt);
        } else if (c == '}' || c == ']') {
            if (!scopes.empty())
                scopes.pop_back();
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < json.size() && json.at(i) != '"'; ++i)
                if (json.at(i) == '\\')
                    ++i;
            qsizetype next = i + 1;
            while (next < json.size() && QChar::isSpace(static_cast<uchar>(json.at(next))))
                ++next;
            if (scopes.empty() || !scopes.back() || next >= json.size() || json.at(next) != ':')
                continue;
            // Decoded, so that an escaped spelling of a key is the same key.
            const QString key = QJsonDocument::fromJson("[" + json.mid(start, i - start + 1) + "]").array().at(0).toString();
            if (scopes.back()->contains(key))
                return key;
            scopes.back()->insert(key);
        }
    }
    return QString();
}

// The field `key` of `o` as a string, a boolean or an object; a field that
// is not of that kind is malformed (a missing optional string reads empty).
QString StringField(const QJsonObject& o, const QString& key, bool required = true)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined() && !required)
        return QString();
    if (!v.isString())
        ThrowMalformed(key);
    return v.toString();
}

bool BoolField(const QJsonObject& o, const QString& key)
{
    const QJsonValue v = o.value(key);
    if (!v.isBool())
        ThrowMalformed(key);
    return v.toBool();
}

QJsonObject ObjectField(const QJsonObject& o, const QString& key)
{
    const QJsonValue v = o.value(key);
    if (!v.isObject())
        ThrowMalformed(key);
    return v.toObject();
}

int IndexOf(const QStringList& list, const QString& text, const QString& what, QStringList& missing)
{
    const int i = static_cast<int>(list.indexOf(text));
    if (i < 0)
        missing.append(QStringLiteral("%1「%2」").arg(what, text));
    return i;
}

} // namespace

QByteArray WriteCase(const CaseData& d)
{
    QJsonObject conditions{{QStringLiteral("costItem"), d.costItem},
                           {QStringLiteral("transportType"), d.transportType},
                           {QStringLiteral("did"), d.did}};
    if (d.packageMethod) {
        conditions.insert(QStringLiteral("debrisWork"), d.debrisWork);
        conditions.insert(QStringLiteral("loading"), d.loading);
        conditions.insert(QStringLiteral("refuseKind"), d.refuseKind);
        conditions.insert(QStringLiteral("dumpTruck"), d.dumpTruckCarry ? QStringLiteral("carry") : QStringLiteral("lend"));
        conditions.insert(QStringLiteral("loadClass"), d.loadClass);
    }
    QJsonArray rows;
    for (const CaseRow& r : d.rows) {
        QJsonObject row{{QStringLiteral("site"), r.site}, {QStringLiteral("manualFee"), r.manualFee}};
        if (r.transportDistance != 0) {
            row.insert(QStringLiteral("transportDistance"), r.transportDistance);
            row.insert(QStringLiteral("distanceSource"), SourceName(r.source));
            row.insert(QStringLiteral("measuredFrom"), QJsonObject{{QStringLiteral("x"), r.fromX}, {QStringLiteral("y"), r.fromY}});
            if (r.readOn.isValid())
                row.insert(QStringLiteral("readOn"), r.readOn.toString(Qt::ISODate));
        }
        rows.append(row);
    }
    QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("version"), CaseData::FormatVersion},
        {QStringLiteral("jobSite"), QJsonObject{{QStringLiteral("x"), d.xText}, {QStringLiteral("y"), d.yText}}},
        {QStringLiteral("district"), d.district},
        {QStringLiteral("method"), d.packageMethod ? QStringLiteral("package") : QStringLiteral("labour")},
        {QStringLiteral("conditions"), conditions},
        {QStringLiteral("sort"), d.sortMode == 1 ? QStringLiteral("distance") : QStringLiteral("amount")},
        {QStringLiteral("rows"), rows},
    };
    if (!d.bidCase.isEmpty())
        root.insert(QStringLiteral("bidCase"),
                    QJsonObject{{QStringLiteral("number"), d.bidCase.number}, {QStringLiteral("name"), d.bidCase.name}});
    root.insert(QStringLiteral("dataEdition"), d.dataEdition);
    QJsonArray shown;
    for (const ShownRow& r : d.shown)
        shown.append(QJsonObject{{QStringLiteral("site"), r.site},
                                 {QStringLiteral("fee"), r.fee},
                                 {QStringLiteral("transportCost"), r.transportCost},
                                 {QStringLiteral("total"), r.total},
                                 {QStringLiteral("rank"), r.rank}});
    root.insert(QStringLiteral("shown"), shown);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

CaseData ReadCase(const QByteArray& bytes)
{
    if (bytes.size() > CaseData::MaxFileBytes)
        throw CaseFileError(QStringLiteral("案件ファイルが大きすぎます（%1 バイトまでです）。").arg(CaseData::MaxFileBytes));
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    const QJsonObject root = doc.object();
    if (parse.error != QJsonParseError::NoError || !doc.isObject() || root.value(QStringLiteral("format")).toString() != kFormat)
        throw CaseFileError(QStringLiteral("このファイルは案件ファイルではありません。"));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() != version.toInt())
        ThrowMalformed(QStringLiteral("version"));
    if (version.toInt() > CaseData::FormatVersion)
        throw CaseFileError(QStringLiteral("この案件ファイルは新しい版（%1）のプログラムで保存されたため、開けません。\r\n"
                                           "プログラムを更新してください（この版で開ける案件ファイルは版 %2 までです）。")
                                .arg(version.toInt())
                                .arg(CaseData::FormatVersion));
    const QString twice = DuplicateKey(bytes);
    if (!twice.isEmpty())
        throw CaseFileError(QStringLiteral("案件ファイルに%1が二度書かれています。").arg(FieldLabel(twice)));

    CaseData d;
    d.formatVersion = version.toInt();
    const QJsonObject site = ObjectField(root, QStringLiteral("jobSite"));
    d.xText = StringField(site, QStringLiteral("x"));
    d.yText = StringField(site, QStringLiteral("y"));
    d.district = StringField(root, QStringLiteral("district"));
    const QString method = ChoiceField(root, QStringLiteral("method"), {QStringLiteral("package"), QStringLiteral("labour")}, true);
    d.packageMethod = method == QStringLiteral("package");
    const QJsonObject c = ObjectField(root, QStringLiteral("conditions"));
    d.costItem = StringField(c, QStringLiteral("costItem"));
    d.transportType = StringField(c, QStringLiteral("transportType"));
    d.did = BoolField(c, QStringLiteral("did"));
    if (d.packageMethod) {
        d.debrisWork = StringField(c, QStringLiteral("debrisWork"), false);
        d.loading = StringField(c, QStringLiteral("loading"), false);
        d.refuseKind = StringField(c, QStringLiteral("refuseKind"), false);
        d.loadClass = StringField(c, QStringLiteral("loadClass"), false);
        d.dumpTruckCarry = ChoiceField(c, QStringLiteral("dumpTruck"), {QStringLiteral("carry"), QStringLiteral("lend")}, false)
            == QStringLiteral("carry");
    }
    const QString sort = ChoiceField(root, QStringLiteral("sort"), {QStringLiteral("amount"), QStringLiteral("distance")}, false);
    d.sortMode = sort == QStringLiteral("distance") ? 1 : 0;
    if (root.contains(QStringLiteral("bidCase"))) {
        const QJsonObject bid = ObjectField(root, QStringLiteral("bidCase"));
        d.bidCase = {StringField(bid, QStringLiteral("number"), false), StringField(bid, QStringLiteral("name"), false)};
    }
    const QJsonValue rows = root.value(QStringLiteral("rows"));
    if (!rows.isArray() && !rows.isUndefined())
        ThrowMalformed(QStringLiteral("rows"));
    for (const QJsonValue& v : rows.toArray()) {
        if (!v.isObject())
            ThrowMalformed(QStringLiteral("rows"));
        const QJsonObject o = v.toObject();
        CaseRow r;
        r.site = StringField(o, QStringLiteral("site"));
        if (std::any_of(d.rows.begin(), d.rows.end(), [&r](const CaseRow& other) { return other.site == r.site; }))
            throw CaseFileError(QStringLiteral("案件ファイルに処分場「%1」の行が二つあります。").arg(r.site));
        const QJsonValue fee = o.value(QStringLiteral("manualFee"));
        // The limits the result grid puts on a typed fee.
        if (!fee.isUndefined()
            && (!fee.isDouble() || fee.toDouble() < 0 || fee.toDouble() > CaseData::MaxManualFee || fee.toDouble() != fee.toInt()))
            throw CaseFileError(QStringLiteral("案件ファイルの処分場「%1」の処分費手入力は0円以上%2円以下の整数ではありません。")
                                    .arg(r.site)
                                    .arg(CaseData::MaxManualFee));
        r.manualFee = fee.toInt();
        const QJsonValue km = o.value(QStringLiteral("transportDistance"));
        if (!km.isUndefined()) {
            // The limits the result grid puts on a typed distance; a distance
            // beyond the sites' 60 km is kept and leaves its row unranked.
            if (!km.isDouble() || !ShownDistanceWithin(km.toDouble(), MaxTransportDistanceKm))
                throw CaseFileError(QStringLiteral("案件ファイルの処分場「%1」の運搬距離は0km以上%2km以下ではありません。")
                                        .arg(r.site)
                                        .arg(MaxTransportDistanceKm));
            r.transportDistance = km.toDouble();
            const QString source = StringField(o, QStringLiteral("distanceSource"));
            if (source == QStringLiteral("routePage"))
                r.source = Source::RoutePage;
            else if (source == QStringLiteral("typed"))
                r.source = Source::Typed;
            else
                ThrowMalformed(QStringLiteral("distanceSource"), r.site);
            const QJsonValue from = o.value(QStringLiteral("measuredFrom"));
            if (!from.isObject() || !from[QStringLiteral("x")].isString() || !from[QStringLiteral("y")].isString())
                ThrowMalformed(QStringLiteral("measuredFrom"), r.site);
            r.fromX = from[QStringLiteral("x")].toString();
            r.fromY = from[QStringLiteral("y")].toString();
            // Files written before the day was kept have none.
            const QJsonValue readOn = o.value(QStringLiteral("readOn"));
            if (!readOn.isUndefined()) {
                r.readOn = QDate::fromString(readOn.toString(), Qt::ISODate);
                if (!readOn.isString() || !r.readOn.isValid() || r.source != Source::RoutePage)
                    ThrowMalformed(QStringLiteral("readOn"), r.site);
            }
        }
        d.rows.push_back(r);
    }
    if (d.formatVersion >= 2) {
        d.dataEdition = StringField(root, QStringLiteral("dataEdition"), false);
        const QJsonValue shown = root.value(QStringLiteral("shown"));
        if (!shown.isArray())
            ThrowMalformed(QStringLiteral("shown"));
        for (const QJsonValue& v : shown.toArray()) {
            const QJsonObject o = v.toObject();
            ShownRow r;
            const QString keys[] = {QStringLiteral("site"), QStringLiteral("fee"), QStringLiteral("transportCost"),
                                    QStringLiteral("total"), QStringLiteral("rank")};
            QString* fields[] = {&r.site, &r.fee, &r.transportCost, &r.total, &r.rank};
            for (int k = 0; k < 5; ++k) {
                if (!o.value(keys[k]).isString())
                    ThrowMalformed(QStringLiteral("shown"));
                *fields[k] = o.value(keys[k]).toString();
            }
            d.shown.push_back(r);
        }
    }
    return d;
}

CaseData LoadCaseFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw velmora::Error(QStringLiteral("案件ファイル %1 を開けません。\r\n%2")
                                 .arg(QDir::toNativeSeparators(path), velmora::data::FileErrorText(file)));
    // Never more than the limit is read: ReadCase then refuses the size.
    return ReadCase(file.read(CaseData::MaxFileBytes + 1));
}

void SaveCaseFile(const QString& path, const CaseData& data)
{
    QString reason;
    if (!velmora::data::ReplaceFileContents(path, WriteCase(data), &reason))
        throw velmora::Error(QStringLiteral("案件ファイルを保存できません。\r\n%1\r\n%2").arg(QDir::toNativeSeparators(path), reason));
}

std::vector<CaseRow> CaseRowsOf(CDisplayCalcResultList& list, const CJobSiteCoordinatesData& jobSite)
{
    std::vector<CaseRow> rows;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext()) {
        const CDisplayCalcResultData& r = list.Current();
        if (r.GetTransportDistance() == 0 && r.GetManualFee() == 0)
            continue;
        CaseRow row;
        row.site = r.GetSiteName();
        row.transportDistance = r.GetTransportDistance();
        row.source = r.GetDistanceSource();
        row.readOn = r.GetDistanceReadOn();
        row.manualFee = r.GetManualFee();
        if (row.transportDistance != 0) {
            row.fromX = jobSite.GetXText();
            row.fromY = jobSite.GetYText();
        }
        rows.push_back(row);
    }
    return rows;
}

QStringList SiteNames(COutputDataManager& driver, int costItem)
{
    QStringList names;
    if (costItem < 0 || costItem >= COutputDataManager::RegisterCount)
        return names;
    CSyobunjoList& sites = driver.Register(costItem);
    for (sites.MoveFirst(); !sites.IsEnd(); sites.MoveNext())
        names.append(sites.Current().GetSiteName());
    return names;
}

CaseLists CaseListsOf(const ConditionSources& sources, const QStringList& districts, COutputDataManager& driver)
{
    const ConditionSources s = sources;
    CaseLists c;
    c.districts = districts;
    c.packageCostItems = s.spHimoku->Items();
    c.labourCostItems = s.himoku->Items();
    c.packageTransportTypes = [s](int i) { return s.spSyubetsu->Items(i); };
    c.labourTransportTypes = [s](int i) { return s.syubetsu->Items(i); };
    c.debrisWorks = [s](int i) { return s.spGaraHassei->Items(i); };
    c.loadings = [s](int i, int w) { return s.spTsumikomi->Items(i, w); };
    c.refuseKinds = RefuseKinds();
    c.loadClasses = LoadClasses();
    c.siteNames = [&driver](int i) { return SiteNames(driver, i); };
    return c;
}

CaseIndexes ResolveCase(const CaseData& d, const CaseLists& lists)
{
    QStringList missing;
    CaseIndexes i;
    i.district = IndexOf(lists.districts, d.district, QStringLiteral("地区"), missing);
    i.costItem = IndexOf(d.packageMethod ? lists.packageCostItems : lists.labourCostItems, d.costItem,
                         QStringLiteral("処分費目"), missing);
    if (i.costItem >= 0) {
        const QStringList types = d.packageMethod ? lists.packageTransportTypes(i.costItem) : lists.labourTransportTypes(i.costItem);
        i.transportType = IndexOf(types, d.transportType, QStringLiteral("運搬種別"), missing);
    }
    if (i.transportType >= 0 && d.packageMethod) {
        switch (PackageDetailsOf(i.transportType)) {
        case PackageDetails::DebrisWorkAndLoading:
            i.debrisWork = IndexOf(lists.debrisWorks(i.costItem), d.debrisWork, QStringLiteral("殻発生作業"), missing);
            if (i.debrisWork >= 0)
                i.loading = IndexOf(lists.loadings(i.costItem, i.debrisWork), d.loading, QStringLiteral("積込工法区分"), missing);
            break;
        case PackageDetails::RefuseKindAndDumpTruck:
            i.refuseKind = IndexOf(lists.refuseKinds, d.refuseKind, QStringLiteral("塵芥の種類"), missing);
            break;
        case PackageDetails::LoadClass:
            i.loadClass = IndexOf(lists.loadClasses, d.loadClass, QStringLiteral("積載区分"), missing);
            break;
        case PackageDetails::NoDetails:
        case PackageDetails::Unpriced:
            break;
        }
    }
    // Sites are looked up in the register of the cost item; with the cost
    // item gone, its sites cannot be judged and are not listed.
    QStringList elsewhere;
    if (i.costItem >= 0) {
        const QStringList sites = lists.siteNames(i.costItem);
        for (const CaseRow& r : d.rows) {
            if (!sites.contains(r.site))
                missing.append(QStringLiteral("処分場「%1」").arg(r.site));
            else if (r.transportDistance != 0 && (r.fromX != d.xText || r.fromY != d.yText))
                elsewhere.append(r.site);
        }
    }
    if (!missing.isEmpty())
        throw CaseFileError(QStringLiteral("この案件の次の条件・処分場は、現在のデータにありません。\r\n%1")
                                .arg(missing.join(QStringLiteral("\r\n"))));
    if (!elsewhere.isEmpty())
        throw CaseFileError(QStringLiteral("次の処分場の運搬距離は、案件の工事現場とは別の地点から測られています。\r\n%1")
                                .arg(elsewhere.join(QStringLiteral("\r\n"))));
    return i;
}

QStringList ApplyCaseRows(const CaseData& data, CDisplayCalcResultList& list)
{
    // A recalculation at an unchanged job site keeps the values the table
    // had; the case's rows are all the values there are.
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext()) {
        list.Current().SetTransportDistance(0, Source::None);
        list.Current().SetManualFee(0);
    }
    QStringList notFound;
    for (const CaseRow& r : data.rows) {
        CDisplayCalcResultData* row = list.FindByName(r.site);
        if (!row) {
            notFound.append(r.site);
            continue;
        }
        row->SetTransportDistance(r.transportDistance, r.source, r.readOn);
        row->SetManualFee(r.manualFee);
    }
    return notFound;
}

QString CaseFileSuffix()
{
    return QStringLiteral("json");
}

QString CaseFileFilter()
{
    return QStringLiteral("案件ファイル (*.json)");
}

} // namespace velmora::calc
