#include "COutputDataManager.h"

#include "data/Decimal.h"
#include "Rounding.h"
#include "ShownDistance.h"
#include "data/Error.h"
#include "data/IniFile.h"
#include "data/Notifier.h"
#include "data/FindDataFileName.h"
#include "data/Paths.h"
#include "data/SelectionListCheck.h"
#include "data/NumberText.h"

#include <cmath>
#include <limits>

namespace {

// Sector limits of the 16-point compass, in degrees away from due west.
constexpr double DirectionLimits[] = {0, 11.25, 33.75, 56.25, 78.75, 101.25, 123.75, 146.25, 168.75};

} // namespace

COutputDataManager::COutputDataManager()
    : results(std::make_unique<CDisplayCalcResultList>())
    , truckClasses(std::make_unique<CBugakariList>())
    , jobSite(std::make_unique<CJobSiteCoordinatesData>())
    , unitPrices(std::make_unique<CDistrictUnitPrice>())
    , registers{std::make_unique<CSyobunjoList>(0), std::make_unique<CSyobunjoList>(1),
                std::make_unique<CSyobunjoList>(2)}
    , packageTable(std::make_unique<CSekouPackageData>())
{
    velmora::data::CheckSelectionLists();
    velmora::data::ReportIniFilesInUtf8(velmora::data::Paths::dataDirectory());
}

COutputDataManager::COutputDataManager(Parts parts)
    : results(std::make_unique<CDisplayCalcResultList>())
    , truckClasses(std::move(parts.truckClasses))
    , jobSite(std::make_unique<CJobSiteCoordinatesData>())
    , unitPrices(std::move(parts.unitPrices))
    , registers(std::move(parts.registers))
    , packageTable(std::move(parts.packageTable))
{
    if (!truckClasses)
        truckClasses = std::make_unique<CBugakariList>(velmora::data::IniFile());
    if (!unitPrices)
        unitPrices = std::make_unique<CDistrictUnitPrice>(CDistrictUnitPrice::NoFiles{});
    for (auto& reg : registers) {
        if (!reg)
            reg = std::make_unique<CSyobunjoList>(-1);
    }
    if (!packageTable)
        packageTable = std::make_unique<CSekouPackageData>(QStringList());
}

COutputDataManager::~COutputDataManager() = default;

void COutputDataManager::SelectRegister(int costItemIndex)
{
    currentRegister = costItemIndex >= 0 && costItemIndex < RegisterCount
                          ? registers[static_cast<std::size_t>(costItemIndex)].get()
                          : nullptr;
    if (currentRegister)
        currentRegister->MoveFirst();
}

void COutputDataManager::SetLabourRateConditions(int district, bool did, int costItemIndex, int transportTypeIndex)
{
    // The price is the one step that can fail (missing quantities, a district
    // beyond the table); taking it first keeps a failed run from switching the
    // method under rows that were priced by the other one.
    // A damaged price or quantity costs the rows of this run their transport
    // cost, with the reason in each row, not the whole run.
    std::optional<velmora::data::TableFinding> damage;
    int price = 0;
    try {
        price = unitPrices->GetDumpTruckCost(district, costItemIndex, transportTypeIndex);
    } catch (const velmora::data::TableDamage& e) {
        damage = e.finding();
    }

    calcMode = 0;
    truckUnitPrice = price;
    unpriced = damage;
    truckClasses->SelectTruckClass(did, costItemIndex, transportTypeIndex);

    if (costItemIndex == 0)
        loadCoefficient = 1.37;
    else if (costItemIndex == 2 && transportTypeIndex == 4)
        loadCoefficient = 1.0;
    else
        loadCoefficient = 1.3;

    // The 10-tonne classes are tabled per 100 m³, the smaller trucks per 10 m³.
    bool perTen = false;
    bool known = true;
    if (costItemIndex == 0 || costItemIndex == 1)
        perTen = transportTypeIndex >= 1 && transportTypeIndex <= 3;
    else if (costItemIndex == 2)
        perTen = transportTypeIndex == 1 || transportTypeIndex == 2;
    else
        known = false;
    if (known) {
        costRoundDigit = perTen ? -1 : -2;
        costDivisor = perTen ? 10 : 100;
    }

    SelectRegister(costItemIndex);
}

void COutputDataManager::SetPackageConditions(const QString& k1, const QString& k2)
{
    SetPackageConditions(QStringList{k1, k2});
}

void COutputDataManager::SetPackageConditions(const QString& k1, const QString& k2, const QString& k3)
{
    SetPackageConditions(QStringList{k1, k2, k3});
}

void COutputDataManager::SetPackageConditions(const QString& k1, const QString& k2, const QString& k3,
                                              const QString& k4)
{
    SetPackageConditions(QStringList{k1, k2, k3, k4});
}

void COutputDataManager::SetPackageConditions(const QStringList& keys)
{
    // Pricing the user's conditions with whatever group was chosen before
    // would show plausible but wrong figures; say so instead.
    std::optional<velmora::data::TableFinding> damage;
    try {
        if (!packageTable->SelectPackageGroup(keys)) {
            const QString table = packageTable->FileName().isEmpty() ? QStringLiteral("施工パッケージ単価表")
                                                                     : QStringLiteral("施工パッケージ単価表 %1 ").arg(packageTable->FileName());
            throw velmora::Error(QStringLiteral("%1に条件 '%2' に合う単価がありません。").arg(table, keys.join(QStringLiteral("／"))));
        }
    } catch (const velmora::data::TableDamage& e) {
        damage = e.finding();
    }
    calcMode = 1;
    unpriced = damage;
}

QString COutputDataManager::NoChoicesText(const QString& list, const QString& file)
{
    return QStringLiteral("この条件には%1の選択肢がありません（%2 の一覧から読みます）。").arg(list, file);
}

QString COutputDataManager::NoPackageConditionsText(const QString& transportType)
{
    return QStringLiteral("運搬種別「%1」には施工パッケージ方式の計算条件がありません。").arg(transportType);
}

void COutputDataManager::SetPackageDistrict(int district)
{
    try {
        const int price1 = unitPrices->GetPriceS24(packageTable->GetTruckClassIndex());
        const int price2 = unitPrices->GetPriceR01();
        const double price3 = unitPrices->GetPriceT02(district);
        packageTable->SetLocalPrices(price1, price2, price3);
    } catch (const velmora::data::TableDamage& e) {
        if (!unpriced)
            unpriced = e.finding();
    }
}

void COutputDataManager::SetJobSite(double latitude, double longitude, double x, double y)
{
    jobSite->SetLatitudeText(FloatToStr(latitude));
    jobSite->SetLongitudeText(FloatToStr(longitude));
    jobSite->SetXText(FloatToStr(x));
    jobSite->SetYText(FloatToStr(y));
}

CDisplayCalcResultList& COutputDataManager::Calculate(bool costItemChanged)
{
    if (!currentRegister)
        throw velmora::Error(QStringLiteral("処分費目が選択されていません。"));

    const bool sameSite = SameJobSiteAsLastCalculated();
    const SiteIndex sites = sameSite ? IndexCurrentRegister() : SiteIndex();
    const bool missing = sameSite && AnySiteMissing(costItemChanged, sites);
    currentRegister->MoveFirst();

    // Rows are built aside and take the list's place only once every one of
    // them is priced, so an error never leaves the grid's list half rebuilt.
    Rows rows;
    bool recalculated = false;
    if (sameSite && !missing)
        recalculated = Recalculate(costItemChanged, sites, rows);
    if (!recalculated) {
        rows = CalculateAfresh();
        if (calculatedBefore && !costItemChanged)
            CarryTypedFees(rows);
    }
    results->Assign(std::move(rows));

    lastJobX = jobSite->GetXText();
    lastJobY = jobSite->GetYText();
    calculatedBefore = true;
    results->RankByTotal();
    if (sortMode == 1)
        results->SortByDistance();
    return *results;
}

namespace {

const CSyobunjoData* findSite(const velmora::calc::SiteIndex& sites, double x, double y)
{
    const auto it = sites.find(std::make_pair(x, y));
    return it == sites.end() ? nullptr : it->second;
}

} // namespace

bool COutputDataManager::SameJobSiteAsLastCalculated() const
{
    return calculatedBefore && jobSite->GetXText() == lastJobX && jobSite->GetYText() == lastJobY;
}

void COutputDataManager::CarryTypedFees(Rows& rows) const
{
    std::unordered_map<std::pair<double, double>, const CDisplayCalcResultData*, velmora::calc::CoordinateHash> typed;
    for (int n = 1; n <= results->Count(); ++n) {
        const CDisplayCalcResultData* old = results->RowAt(n);
        if (old && old->GetManualFee() != 0)
            typed.emplace(std::make_pair(old->GetSiteX(), old->GetSiteY()), old);
    }
    for (auto& row : rows) {
        const auto found = typed.find({row->GetSiteX(), row->GetSiteY()});
        if (found == typed.end() || found->second->GetSiteName() != row->GetSiteName())
            continue;
        row->SetManualFee(found->second->GetManualFee());
        row->UpdateConfirmedFee();
        PriceRow(*row);
    }
}

COutputDataManager::DroppedValues COutputDataManager::ValuesDroppedByCalculate(bool costItemChanged)
{
    DroppedValues dropped;
    if (!calculatedBefore || !currentRegister)
        return dropped;
    const bool sameSite = SameJobSiteAsLastCalculated();
    const SiteIndex sites = IndexCurrentRegister();
    const bool rowsKept = sameSite && !AnySiteMissing(costItemChanged, sites);
    for (int n = 1; n <= results->Count(); ++n) {
        const CDisplayCalcResultData* row = results->RowAt(n);
        if (!row)
            continue;
        if (!rowsKept && row->GetDistanceSource() != CDisplayCalcResultData::DistanceSource::None)
            ++dropped.distances;
        if (row->GetManualFee() == 0)
            continue;
        const CSyobunjoData* site = findSite(sites, row->GetSiteX(), row->GetSiteY());
        const bool listed = rowsKept || (site && !velmora::calc::ShownDistanceBeyond(StraightDistance(*site), SearchRadiusKm));
        if (costItemChanged || !listed)
            ++dropped.fees;
    }
    return dropped;
}

COutputDataManager::Settings COutputDataManager::SaveSettings() const
{
    return Settings{currentRegister, calcMode, loadCoefficient, costRoundDigit, costDivisor, truckUnitPrice,
                    truckClasses->SelectedPosition(), *packageTable, *jobSite, unpriced};
}

void COutputDataManager::RestoreSettings(const Settings& saved)
{
    currentRegister = saved.currentRegister;
    calcMode = saved.calcMode;
    loadCoefficient = saved.loadCoefficient;
    costRoundDigit = saved.costRoundDigit;
    costDivisor = saved.costDivisor;
    truckUnitPrice = saved.truckUnitPrice;
    truckClasses->RestoreSelectedPosition(saved.truckClass);
    *packageTable = saved.packageTable;
    *jobSite = saved.jobSite;
    unpriced = saved.unpriced;
}

std::size_t velmora::calc::CoordinateHash::operator()(const std::pair<double, double>& p) const noexcept
{
    // std::hash<double> gives 0.0 and -0.0 the same hash, as == treats them alike.
    const std::size_t hx = std::hash<double>()(p.first);
    return hx ^ (std::hash<double>()(p.second) + 0x9e3779b97f4a7c15ULL + (hx << 6) + (hx >> 2));
}

COutputDataManager::SiteIndex COutputDataManager::IndexCurrentRegister()
{
    SiteIndex index;
    index.reserve(static_cast<std::size_t>(currentRegister->Count()));
    for (currentRegister->MoveFirst(); !currentRegister->IsEnd(); currentRegister->MoveNext()) {
        const CSyobunjoData& site = currentRegister->Current();
        index.emplace(std::make_pair(site.GetX(), site.GetY()), &site);
    }
    return index;
}

bool COutputDataManager::Recalculate(bool costItemChanged, const SiteIndex& sites, Rows& rows)
{
    rows.clear();
    rows.reserve(static_cast<std::size_t>(results->Count()));
    for (results->MoveFirst(); !results->IsEnd(); results->MoveNext()) {
        auto row = std::make_unique<CDisplayCalcResultData>(results->Current());
        const CSyobunjoData* site = findSite(sites, row->GetSiteX(), row->GetSiteY());
        // Only possible when the register changed without the cost item
        // counting as changed; the listed rows then belong to other sites.
        if (!site)
            return false;
        row->SetRank(0);
        row->SetDisposalFee(site->GetDisposalFee());
        if (costItemChanged)
            row->SetManualFee(0);
        row->UpdateConfirmedFee();
        row->UpdateConfirmedDistance();
        PriceRow(*row);
        rows.push_back(std::move(row));
    }
    return true;
}

COutputDataManager::Rows COutputDataManager::CalculateAfresh()
{
    if (jobSite->GetXText().isEmpty() || jobSite->GetYText().isEmpty())
        throw velmora::Error(QStringLiteral("工事現場の座標が設定されていません。"));

    Rows rows;
    for (currentRegister->MoveFirst(); !currentRegister->IsEnd(); currentRegister->MoveNext()) {
        const CSyobunjoData& site = currentRegister->Current();
        // Measured once: measuring again gives the same distance and the
        // same differences for the direction.
        const double distance = StraightDistance(site);
        if (velmora::calc::ShownDistanceBeyond(distance, SearchRadiusKm))
            continue;
        auto row = std::make_unique<CDisplayCalcResultData>();
        row->SetSiteName(site.GetSiteName());
        row->SetStraightDistance(distance);
        row->UpdateConfirmedDistance();
        row->SetDirection(DirectionText());
        row->SetDisposalFee(site.GetDisposalFee());
        row->UpdateConfirmedFee();
        row->SetFeeUnit(site.GetFeeUnit());
        row->SetPriceSource(site.GetPriceSource());
        PriceRow(*row);
        row->SetSiteX(site.GetX());
        row->SetSiteY(site.GetY());
        rows.push_back(std::move(row));
    }
    return rows;
}

void COutputDataManager::PriceRow(CDisplayCalcResultData& row) const
{
    const double d = row.GetConfirmedDistance();
    if (calcMode == 1) {
        row.SetTransportCost(PackageCost(d));
        row.SetBandText(PackageBandText(d));
    } else {
        row.SetTransportCost(LabourRateCost(d));
        row.SetBandText(LabourRateBandText(d));
    }
    // A missing cost or fee leaves the row unpriced rather than ranked on half
    // a price.
    const bool priced = row.GetTransportCost() != 0 && row.GetConfirmedFee() != 0;
    const long long total = priced ? static_cast<long long>(row.GetTransportCost()) + row.GetConfirmedFee() : 0;
    // A total past what a yen amount holds would wrap round and rank first.
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        throw velmora::Error(QStringLiteral("処分場「%1」の合計が大きすぎて計算できません（処分費 %2 円、運搬費 %3 円）。")
                                 .arg(row.GetSiteName())
                                 .arg(row.GetConfirmedFee())
                                 .arg(row.GetTransportCost()));
    row.SetTotal(static_cast<int>(total));
}

bool COutputDataManager::AnySiteMissing(bool costItemChanged, const SiteIndex& sites)
{
    if (!costItemChanged)
        return false;
    for (results->MoveFirst(); !results->IsEnd(); results->MoveNext()) {
        const CDisplayCalcResultData& row = results->Current();
        if (!findSite(sites, row.GetSiteX(), row.GetSiteY()))
            return true;
    }
    // Keeping the rows is only right when the new register has no further
    // site within reach: otherwise the cheapest site could be left out.
    return SitesWithinReach() != results->Count();
}

int COutputDataManager::SitesWithinReach()
{
    int count = 0;
    for (currentRegister->MoveFirst(); !currentRegister->IsEnd(); currentRegister->MoveNext()) {
        if (!velmora::calc::ShownDistanceBeyond(StraightDistance(currentRegister->Current()), SearchRadiusKm))
            ++count;
    }
    return count;
}

double COutputDataManager::StraightDistance(const CSyobunjoData& site)
{
    const double jobX = StrToFloat(jobSite->GetXText());
    const double jobY = StrToFloat(jobSite->GetYText());
    northDiff = static_cast<double>(static_cast<long double>(jobX) - site.GetX());
    eastDiff = static_cast<double>(static_cast<long double>(jobY) - site.GetY());
    const long double squares = static_cast<long double>(northDiff) * northDiff
                                + static_cast<long double>(eastDiff) * eastDiff;
    const double sum = static_cast<double>(squares);
    // The metre-to-kilometre factor is an extended constant like every literal
    // of the estimating rules (see RadiansToDegrees), not the double 0.001.
    const double km = static_cast<double>(std::sqrt(static_cast<long double>(sum)) * 0.001L);
    return RoundHalfAt(km, 1);
}

QString COutputDataManager::DirectionText() const
{
    return DirectionFor(northDiff, eastDiff);
}

QString COutputDataManager::DirectionFor(double north, double east)
{
    return DirectionForDegrees(RadiansToDegrees(std::atan2(north, east)));
}

QString COutputDataManager::DirectionForDegrees(double theta)
{
    static const QString southward[] = {
        QStringLiteral("西"), QStringLiteral("西南西"), QStringLiteral("南西"),
        QStringLiteral("南南西"), QStringLiteral("南"), QStringLiteral("南南東"),
        QStringLiteral("南東"), QStringLiteral("東南東"), QStringLiteral("東"),
    };
    static const QString northward[] = {
        QStringLiteral("西"), QStringLiteral("西北西"), QStringLiteral("北西"),
        QStringLiteral("北北西"), QStringLiteral("北"), QStringLiteral("北北東"),
        QStringLiteral("北東"), QStringLiteral("東北東"), QStringLiteral("東"),
    };
    // |θ| is the site's angle away from due west as seen from the job site;
    // a bearing on a limit belongs to the sector nearer to west.
    const double a = std::fabs(theta);
    int k = -1;
    for (double limit : DirectionLimits) {
        if (limit < a)
            ++k;
    }
    if (k < 0)
        k = 0;
    return theta >= 0 ? southward[k] : northward[k];
}

int COutputDataManager::LabourRateCost(double km) const
{
    if (unpriced)
        return 0;
    const double q = truckClasses->QuantityAt(km);
    if (q == CBugakariData::OverLimitQuantity)
        return 0;
    if (costDivisor == 0)
        throw velmora::Error(QStringLiteral("歩掛方式の計算条件が設定されていません。"));

    double p = static_cast<double>(static_cast<long double>(q) * loadCoefficient);
    // The quantity is held to six decimals before the half-up rounding; the
    // nearest double of that decimal may sit just below a half (8.905).
    p = ReduceToDecimal(p, 10, 6).toDouble();
    const double r = RoundHalfAt(p, 2);
    const long double product = static_cast<long double>(truckUnitPrice) * r;
    const double basisCost = static_cast<double>(static_cast<long long>(product));
    // The tables' limits keep this far below; a cost beyond whole yen in an
    // int is refused rather than wrapped round into another figure.
    if (!(basisCost < 2'000'000'000.0))
        throw velmora::OverflowError(QStringLiteral("運搬費 %1 円が大きすぎます。").arg(FloatToStr(basisCost)));
    const int rounded = static_cast<int>(RoundUpAt(basisCost, costRoundDigit));
    return rounded / costDivisor;
}

QString COutputDataManager::LabourRateBandText(double km) const
{
    if (unpriced)
        return velmora::data::RowReason(*unpriced);
    return truckClasses->BandTextAt(km);
}

int COutputDataManager::PackageCost(double km) const
{
    if (unpriced)
        return 0;
    return packageTable->PackageCost(km);
}

QString COutputDataManager::PackageBandText(double km) const
{
    if (unpriced)
        return velmora::data::RowReason(*unpriced);
    return packageTable->PackageBandText(km);
}
