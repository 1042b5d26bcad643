#include "CSyobunjoList.h"

#include "Error.h"
#include "FindDataFileName.h"
#include "MatchesCostItem.h"
#include "Paths.h"
#include "IniFile.h"
#include "SelectionList.h"
#include "SelectionListCheck.h"
#include "SiteTableCheck.h"
#include "TableFindings.h"
#include "TextFiles.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

using velmora::data::Paths;

namespace {

QString dataFilePath(const QString& key)
{
    const QString directory = Paths::dataDirectory();
    return directory + FindDataFileName(key, directory);
}

const QString NamesFile = QStringLiteral("SyobunjoKikakuSource.ini");

} // namespace

CSyobunjoList::CSyobunjoList(int kind)
{
    if (kind >= 0)
        LoadSites(kind);
}

CSyobunjoList::~CSyobunjoList() = default;

bool CSyobunjoList::LoadSites(int kind)
{
    // A broken names file or site table must not stop start-up; the sites
    // read before it would have no coordinates, so none is kept.
    try {
        LoadCostItemName(kind);
        LoadSiteTable();
    } catch (const velmora::Error&) {
        sites.clear();
        MoveFirst();
        return false;
    }
    MoveFirst();
    return LoadCoordinates();
}

void CSyobunjoList::LoadCostItemName(int kind)
{
    costItemNames = velmora::data::ReadDataIniSection(NamesFile, QStringLiteral("処分費目"));
    if (kind < 0 || kind >= costItemNames.size())
        throw velmora::Error(QStringLiteral("%1 の [処分費目] に %2 番目の処分費目がありません。").arg(NamesFile).arg(kind + 1));
    // A register whose name is not the label the estimator picks would list
    // another cost item's sites and fees under it.
    const QStringList labels = velmora::data::ReadDataIniSection(QStringLiteral("Himoku_RowSource.ini"), QStringLiteral("処分費目"));
    const QString problem = velmora::data::RegisterNameProblem(costItemNames, labels, kind);
    if (!problem.isEmpty()) {
        const velmora::data::IniFile ini = velmora::data::IniFile::load(Paths::dataDirectory() + NamesFile);
        const std::vector<int> lines = ini.sectionLineNumbers(QStringLiteral("処分費目"));
        velmora::data::reportFinding({NamesFile, kind < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(kind)] : 0,
                                      costItemNames.at(kind), problem});
        throw velmora::Error(problem);
    }
    costItemName = costItemNames.at(kind);
}

void CSyobunjoList::LoadSiteTable()
{
    using namespace velmora::data;
    const QString path = dataFilePath(QStringLiteral("DT19"));
    const QStringList lines = ReadLineFile(path);
    // Every register checks the whole table, so a damaged line is named
    // whichever cost item it was meant for (the same finding is kept once).
    const SiteTableVerdict verdict = CheckSiteTable(lines, ShippedFileName(path), costItemNames);
    doubtfulKeys = verdict.doubtfulKeys;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (verdict.leftOut[static_cast<std::size_t>(i)])
            continue;
        const QStringList fields = SplitStrict(lines.at(i));
        if (fields.size() < SiteField::Count)
            continue;
        if (!MatchesCostItem(fields.at(SiteField::CostItem), costItemName))
            continue;
        if (doubtfulKeys.contains(fields.at(SiteField::Key).toCaseFolded()))
            continue;
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteKey(fields.at(SiteField::Key));
        site->SetCostItem(fields.at(SiteField::CostItem));
        site->SetSiteName(fields.at(SiteField::Name));
        try {
            site->SetDisposalFee(fields.at(SiteField::Fee));
        } catch (const velmora::ConvertError&) {
            continue; // the heading line, whose cost item matched
        }
        site->SetFeeUnit(fields.at(SiteField::FeeUnit));
        site->SetPriceSource(fields.at(SiteField::PriceSource));
        AddSite(std::move(site));
    }
}

bool CSyobunjoList::LoadCoordinates()
{
    using namespace velmora::data;
    const QString path = dataFilePath(QStringLiteral("DC01"));
    QStringList lines;
    try {
        lines = ReadLineFile(path);
    } catch (const velmora::FileOpenError&) {
        // Start-up names the missing file. No site can be placed, and one
        // without coordinates would be measured from the origin.
        sites.clear();
        cursor = 0;
        return false;
    }
    const QString file = ShippedFileName(path);
    const CoordinateLines coordinates = CheckCoordinateTable(lines, file);

    // A site that cannot be placed is left out: at 0/0 it would be measured
    // from the origin of the coordinate system and priced at a made-up distance.
    std::vector<std::unique_ptr<CSyobunjoData>> placed;
    placed.reserve(sites.size());
    for (auto& site : sites) {
        const QString key = site->GetSiteKey().toCaseFolded();
        const auto found = coordinates.lineOfKey.constFind(key);
        if (found == coordinates.lineOfKey.constEnd()) {
            if (!coordinates.reported.contains(key))
                reportFinding({file, 0, site->GetSiteKey(),
                               QStringLiteral("処分場「%1」の座標の行がありません。この処分場は計算から外しました。").arg(site->GetSiteName())});
            continue;
        }
        const QStringList fields = SplitCommaText(lines.at(found.value()));
        site->SetX(fields.at(2));
        site->SetY(fields.at(3));
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
