#include "CSyobunjoList.h"

#include "Error.h"
#include "FindDataFileName.h"
#include "MatchesCostItem.h"
#include "Paths.h"
#include "SelectionList.h"
#include "TextFiles.h"

#include <QHash>

using velmora::data::Paths;

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

} // namespace

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
    const QStringList lines = velmora::data::ReadLineFile(dataFilePath(QStringLiteral("DT19")));
    for (const QString& line : lines) {
        const QStringList fields = velmora::data::SplitStrict(line);
        if (fields.size() < SiteFieldCount)
            continue;
        if (!MatchesCostItem(fields.at(FieldCostItem), costItemName))
            continue;
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteKey(fields.at(FieldSiteKey));
        site->SetCostItem(fields.at(FieldCostItem));
        site->SetSiteName(fields.at(FieldSiteName));
        site->SetDisposalFee(fields.at(FieldFee));
        site->SetFeeUnit(fields.at(FieldFeeUnit));
        site->SetPriceSource(fields.at(FieldPriceSource));
        AddSite(std::move(site));
    }
}

bool CSyobunjoList::LoadCoordinates()
{
    QStringList lines;
    try {
        lines = velmora::data::ReadLineFile(dataFilePath(QStringLiteral("DC01")));
    } catch (const velmora::FileOpenError&) {
        return false;
    }

    // Keys compare without case; the first line of a key counts.
    QHash<QString, qsizetype> lineOfKey;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = velmora::data::SplitCommaText(lines.at(i));
        if (fields.size() < 2)
            throw velmora::Error(QStringLiteral("処分場の座標データ DC01 の %1 行目に処分場コードがありません。").arg(i + 1));
        const QString key = fields.at(1).toCaseFolded();
        if (!lineOfKey.contains(key))
            lineOfKey.insert(key, i);
    }

    for (MoveFirst(); !IsEnd(); MoveNext()) {
        CSyobunjoData& site = Current();
        const auto found = lineOfKey.constFind(site.GetSiteKey().toCaseFolded());
        if (found == lineOfKey.constEnd())
            continue;
        const QStringList fields = velmora::data::SplitCommaText(lines.at(found.value()));
        if (fields.size() < 4)
            throw velmora::Error(QStringLiteral("処分場の座標データ DC01 の %1 行目に座標がありません。").arg(found.value() + 1));
        site.SetX(fields.at(2));
        site.SetY(fields.at(3));
    }
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
