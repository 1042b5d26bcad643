#include "CSyobunjoList.h"

#include "Error.h"
#include "FindDataFileName.h"
#include "MatchesCostItem.h"
#include "Paths.h"
#include "SelectionList.h"
#include "TextFiles.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

using velmora::data::Paths;
using velmora::data::SiteLeftOut;

namespace {

const int SiteFieldCount = 22;
const int FieldSiteKey = 5;
const int FieldCostItem = 6;
const int FieldSiteName = 7;
const int FieldFee = 10;
const int FieldFeeUnit = 11;
const int FieldPriceSource = 21;

QString dataFilePath(const QString& key)
{
    const QString directory = Paths::dataDirectory();
    return directory + FindDataFileName(key, directory);
}

// The working file is decoded from the shipped table beside it, the one the
// estimator knows: "DT19.dat" comes from "ET19.dat".
QString shippedName(const QString& workingPath)
{
    const QString name = QFileInfo(workingPath).fileName();
    return name.startsWith(u'D') ? u'E' + name.mid(1) : name;
}

} // namespace

namespace velmora::data {

QString SitesLeftOutText(const std::vector<SiteLeftOut>& leftOut)
{
    std::vector<SiteLeftOut> distinct;
    for (const SiteLeftOut& s : leftOut) {
        if (std::find(distinct.begin(), distinct.end(), s) == distinct.end())
            distinct.push_back(s);
    }
    if (distinct.empty())
        return QString();
    QStringList lines{QStringLiteral("処分場のデータに読めない行があるため、次の処分場を計算から外しました。ほかの処分場はそのまま計算します。")};
    // A table damaged throughout would give a box taller than the screen.
    constexpr std::size_t kMostListed = 20;
    for (std::size_t i = 0; i < distinct.size() && i < kMostListed; ++i) {
        const SiteLeftOut& s = distinct[i];
        QString line = s.line > 0 ? QStringLiteral("%1 の %2 行目: %3").arg(s.file).arg(s.line).arg(s.reason)
                                  : QStringLiteral("%1: %2").arg(s.file, s.reason);
        if (!s.siteKey.isEmpty())
            line += QStringLiteral("（処分場 %1「%2」）").arg(s.siteKey, s.siteName);
        lines.append(line);
    }
    if (distinct.size() > kMostListed)
        lines.append(QStringLiteral("ほか %1 件").arg(distinct.size() - kMostListed));
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace velmora::data

CSyobunjoList::CSyobunjoList(int kind)
{
    if (kind >= 0)
        LoadSites(kind);
}

CSyobunjoList::~CSyobunjoList() = default;

bool CSyobunjoList::LoadSites(int kind)
{
    // A broken names file or site table must not stop start-up: the register
    // keeps what it read, and a calculation simply finds fewer sites.
    try {
        LoadCostItemName(kind);
        LoadSiteTable();
    } catch (const velmora::Error&) {
        return false;
    }
    MoveFirst();
    // A malformed coordinate table is a broken deployment and is not caught.
    return LoadCoordinates();
}

void CSyobunjoList::LoadCostItemName(int kind)
{
    const QString file = QStringLiteral("SyobunjoKikakuSource.ini");
    const QStringList names = velmora::data::ReadDataIniSection(file, QStringLiteral("処分費目"));
    if (kind < 0 || kind >= names.size())
        throw velmora::Error(QStringLiteral("%1 の [処分費目] に %2 番目の処分費目がありません。").arg(file).arg(kind + 1));
    costItemName = names.at(kind);
}

void CSyobunjoList::LoadSiteTable()
{
    const QString path = dataFilePath(QStringLiteral("DT19"));
    const QStringList lines = velmora::data::ReadLineFile(path);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = velmora::data::SplitStrict(lines.at(i));
        if (fields.size() < SiteFieldCount)
            continue;
        if (!MatchesCostItem(fields.at(FieldCostItem), costItemName))
            continue;
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteKey(fields.at(FieldSiteKey));
        site->SetCostItem(fields.at(FieldCostItem));
        site->SetSiteName(fields.at(FieldSiteName));
        try {
            site->SetDisposalFee(fields.at(FieldFee));
        } catch (const velmora::ConvertError&) {
            // A fee nobody can read costs that site, not the whole register.
            leftOut.push_back({shippedName(path), static_cast<int>(i + 1), site->GetSiteKey(), site->GetSiteName(),
                               QStringLiteral("処分費 '%1' が整数ではありません").arg(fields.at(FieldFee))});
            continue;
        }
        site->SetFeeUnit(fields.at(FieldFeeUnit));
        site->SetPriceSource(fields.at(FieldPriceSource));
        AddSite(std::move(site));
    }
}

bool CSyobunjoList::LoadCoordinates()
{
    const QString path = dataFilePath(QStringLiteral("DC01"));
    QStringList lines;
    try {
        lines = velmora::data::ReadLineFile(path);
    } catch (const velmora::FileOpenError&) {
        return false;
    }
    const QString file = shippedName(path);

    // Keys compare without case; the first line of a key counts. Empty lines
    // are skipped, as in the site table.
    QHash<QString, qsizetype> lineOfKey;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed().isEmpty())
            continue;
        const QStringList fields = velmora::data::SplitCommaText(lines.at(i));
        if (fields.size() < 2) {
            leftOut.push_back({file, static_cast<int>(i + 1), QString(), QString(), QStringLiteral("処分場コードがありません")});
            continue;
        }
        const QString key = fields.at(1).toCaseFolded();
        if (!lineOfKey.contains(key))
            lineOfKey.insert(key, i);
    }

    // A site that cannot be placed is left out: at 0/0 it would be measured
    // from the origin of the coordinate system and priced at a made-up distance.
    std::vector<std::unique_ptr<CSyobunjoData>> placed;
    placed.reserve(sites.size());
    for (auto& site : sites) {
        const auto found = lineOfKey.constFind(site->GetSiteKey().toCaseFolded());
        const int line = found == lineOfKey.constEnd() ? 0 : static_cast<int>(found.value() + 1);
        const auto leaveOut = [&](const QString& reason) {
            leftOut.push_back({file, line, site->GetSiteKey(), site->GetSiteName(), reason});
        };
        if (line == 0) {
            leaveOut(QStringLiteral("座標の行がありません"));
            continue;
        }
        const QStringList fields = velmora::data::SplitCommaText(lines.at(found.value()));
        if (fields.size() < 4) {
            leaveOut(QStringLiteral("座標がありません"));
            continue;
        }
        try {
            site->SetX(fields.at(2));
            site->SetY(fields.at(3));
        } catch (const velmora::ConvertError&) {
            leaveOut(QStringLiteral("座標 '%1', '%2' が数値ではありません").arg(fields.at(2), fields.at(3)));
            continue;
        }
        placed.push_back(std::move(site));
    }
    sites = std::move(placed);
    cursor = sites.size();
    return true;
}

void CSyobunjoList::MoveFirst() { cursor = 0; }

bool CSyobunjoList::IsEnd() const { return cursor >= sites.size(); }

bool CSyobunjoList::MoveNext()
{
    if (IsEnd())
        return false;
    ++cursor;
    return true;
}

CSyobunjoData& CSyobunjoList::Current()
{
    if (IsEnd())
        throw velmora::Error(QStringLiteral("処分場の一覧の終わりを越えて読もうとしました。"));
    return *sites[cursor];
}

CSyobunjoData* CSyobunjoList::FindByCoordinates(double x, double y)
{
    for (MoveFirst(); !IsEnd(); MoveNext()) {
        CSyobunjoData& site = Current();
        if (site.GetX() == x && site.GetY() == y)
            return &site;
    }
    return nullptr;
}

void CSyobunjoList::AddSite(std::unique_ptr<CSyobunjoData> site)
{
    if (site)
        sites.push_back(std::move(site));
}
