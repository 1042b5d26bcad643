#pragma once

#include "CBugakariList.h"
#include "CDisplayCalcResultList.h"
#include "CJobSiteCoordinatesData.h"
#include "CSekouPackageData.h"
#include "data/CDistrictUnitPrice.h"
#include "data/CSyobunjoList.h"
#include "data/TableFindings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

// The calculation driver: owns the master tables, the job site, the chosen
// method with its parameters and the result list, and turns a job site into a
// ranked list of every disposal site within 60 km.
namespace velmora::calc {

struct CoordinateHash
{
    std::size_t operator()(const std::pair<double, double>& p) const noexcept;
};

// A register's sites by exact coordinates, the first in register order
// winning: what FindByCoordinates returns, without a walk per row.
using SiteIndex = std::unordered_map<std::pair<double, double>, const CSyobunjoData*, CoordinateHash>;

} // namespace velmora::calc

class COutputDataManager
{
public:
    static constexpr int RegisterCount = 3;
    static constexpr int SearchRadiusKm = 60;

    // The tables a driver works with, for drivers built from tables already in
    // memory (tools, tests, benchmarks). A missing part is replaced by an
    // empty one.
    struct Parts
    {
        std::unique_ptr<CBugakariList> truckClasses;
        std::unique_ptr<CDistrictUnitPrice> unitPrices;
        std::array<std::unique_ptr<CSyobunjoList>, RegisterCount> registers;
        std::unique_ptr<CSekouPackageData> packageTable;
    };

    // Loads every table from the working files in the data directory.
    COutputDataManager();
    explicit COutputDataManager(Parts parts);
    ~COutputDataManager();
    COutputDataManager(const COutputDataManager&) = delete;
    COutputDataManager& operator=(const COutputDataManager&) = delete;

    void SetSortMode(int mode) { sortMode = mode; }
    // 0, 1 or 2; any other index leaves no register chosen.
    void SelectRegister(int costItemIndex);

    void SetLabourRateConditions(int district, bool did, int costItemIndex, int transportTypeIndex);
    // The transport type first and the DID text last. When no group of the
    // table holds the texts, velmora::Error is raised and the method, the
    // group and its prices stay as they were.
    void SetPackageConditions(const QString& k1, const QString& k2);
    void SetPackageConditions(const QString& k1, const QString& k2, const QString& k3);
    void SetPackageConditions(const QString& k1, const QString& k2, const QString& k3, const QString& k4);
    void SetPackageConditions(const QStringList& keys);
    void SetPackageDistrict(int district);
    // Why a calculation cannot start: a list it needs is empty (`list` names
    // the choice, `file` the list file it comes from), or a
    // construction-package transport type has no condition texts.
    static QString NoChoicesText(const QString& list, const QString& file);
    static QString NoPackageConditionsText(const QString& transportType);

    void SetJobSite(double latitude, double longitude, double x, double y);

    // A fresh calculation, or a recalculation of the listed rows in place
    // while the job site is unchanged. An error leaves the list as it was.
    // A typed fee is the site's own quote: at another job site it stays on
    // its site, as long as the cost item is the same and the site is listed.
    CDisplayCalcResultList& Calculate(bool costItemChanged);

    // What the next Calculate, with the settings made so far, would drop of
    // the estimator's values on the rows listed: distances are measured from
    // the job site (another job site drops them, as does another cost item
    // whose register lists other sites); typed fees go with another cost
    // item, or when their site is no longer listed.
    struct DroppedValues
    {
        int distances = 0;
        int fees = 0;
        bool any() const { return distances > 0 || fees > 0; }
    };
    DroppedValues ValuesDroppedByCalculate(bool costItemChanged);

    // What a Calc run sets before its rows are priced: the register, the
    // method with its parameters, the package group with its local prices
    // and the job site. A run that fails puts them back, so the rows still
    // listed are recalculated later with what priced them, never with half
    // of the failed run's conditions.
    struct Settings
    {
        CSyobunjoList* currentRegister;
        int calcMode;
        double loadCoefficient;
        int costRoundDigit;
        int costDivisor;
        int truckUnitPrice;
        std::size_t truckClass;
        CSekouPackageData packageTable;
        CJobSiteCoordinatesData jobSite;
        std::optional<velmora::data::TableFinding> unpriced;
    };
    Settings SaveSettings() const;
    void RestoreSettings(const Settings& saved);

    int LabourRateCost(double km) const;
    QString LabourRateBandText(double km) const;
    int PackageCost(double km) const;
    QString PackageBandText(double km) const;

    // The 16-point direction of a site as seen from the job site, for the
    // differences job − site (northing, easting) in metres.
    static QString DirectionFor(double northDiff, double eastDiff);
    // The same for the angle of the vector site → job site in degrees, from
    // east toward north (−180 to 180).
    static QString DirectionForDegrees(double theta);

    CDisplayCalcResultList& Results() { return *results; }
    const CJobSiteCoordinatesData& JobSite() const { return *jobSite; }
    CBugakariList& TruckClasses() { return *truckClasses; }
    CDistrictUnitPrice& UnitPrices() { return *unitPrices; }
    CSyobunjoList& Register(int costItemIndex) { return *registers.at(static_cast<std::size_t>(costItemIndex)); }
    CSekouPackageData& PackageTable() { return *packageTable; }
    const CSyobunjoList* CurrentRegister() const { return currentRegister; }
    int GetCalcMode() const { return calcMode; }
    int GetSortMode() const { return sortMode; }
    int GetTruckUnitPrice() const { return truckUnitPrice; }
    double GetLoadCoefficient() const { return loadCoefficient; }
    int GetCostRoundDigit() const { return costRoundDigit; }
    int GetCostDivisor() const { return costDivisor; }

private:
    using Rows = std::vector<std::unique_ptr<CDisplayCalcResultData>>;

    double StraightDistance(const CSyobunjoData& site);
    QString DirectionText() const;
    using SiteIndex = velmora::calc::SiteIndex;
    SiteIndex IndexCurrentRegister();
    bool AnySiteMissing(bool costItemChanged, const SiteIndex& sites);
    int SitesWithinReach();
    // False when a row's site is no longer in the register.
    bool Recalculate(bool costItemChanged, const SiteIndex& sites, Rows& rows);
    Rows CalculateAfresh();
    bool SameJobSiteAsLastCalculated() const;
    // The typed fees of the rows listed onto the same sites among `rows`.
    void CarryTypedFees(Rows& rows) const;
    void PriceRow(CDisplayCalcResultData& row) const;

    std::unique_ptr<CDisplayCalcResultList> results;
    std::unique_ptr<CBugakariList> truckClasses;
    std::unique_ptr<CJobSiteCoordinatesData> jobSite;
    std::unique_ptr<CDistrictUnitPrice> unitPrices;
    std::array<std::unique_ptr<CSyobunjoList>, RegisterCount> registers;
    std::unique_ptr<CSekouPackageData> packageTable;
    CSyobunjoList* currentRegister = nullptr;
    double loadCoefficient = 0;
    int costRoundDigit = 0;
    int costDivisor = 0;
    double northDiff = 0;
    double eastDiff = 0;
    int truckUnitPrice = 0;
    // The finding that left the chosen district's prices, truck class or
    // package group out: every row of the run is listed without a transport
    // cost and with this reason in place of its band.
    std::optional<velmora::data::TableFinding> unpriced;
    QString lastJobX = QStringLiteral("0");
    QString lastJobY = QStringLiteral("0");
    int calcMode = 1;
    int sortMode = 1;
    // The "0" above would otherwise let a first job site at X 0, Y 0 pass for
    // an unchanged one and "recalculate" an empty list.
    bool calculatedBefore = false;
};
