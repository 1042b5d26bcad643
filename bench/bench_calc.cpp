// The calculation driver over synthetic registers: a fresh calculation (new
// job site) and a recalculation in place (same job site, as after a typed
// distance), in both estimating methods. The tables other than the registers
// are the sample deployment's, decoded in a private copy.

#include "calc/CBugakariList.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/CSekouPackageData.h"
#include "data/CDistrictUnitPrice.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyobunjoData.h"
#include "data/CSyobunjoList.h"
#include "data/DeploymentCopy.h"
#include "data/Paths.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cmath>
#include <memory>
#include <random>

namespace {

constexpr double kJobX = -120000;
constexpr double kJobY = 20000;
constexpr int kDistrict = 3;

enum Method { Package = 0, LabourRate = 1 };

// Sites spread evenly over a disc of 65 km around the job site, so that
// about 85 % lie within the 60 km search radius.
std::unique_ptr<CSyobunjoList> SyntheticRegister(int sites, unsigned seed)
{
    auto list = std::make_unique<CSyobunjoList>(-1);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> fee(30, 60);
    for (int i = 0; i < sites; ++i) {
        const double r = 65000 * std::sqrt(unit(rng));
        const double a = 2 * 3.14159265358979 * unit(rng);
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteName(QStringLiteral("処分場%1").arg(i, 6, 10, QLatin1Char('0')));
        // Whole metres, as registers hold them.
        site->SetXValue(std::round(kJobX + r * std::cos(a)));
        site->SetYValue(std::round(kJobY + r * std::sin(a)));
        site->SetDisposalFeeValue(fee(rng) * 100);
        site->SetFeeUnit(QStringLiteral("m3"));
        site->SetPriceSource(QStringLiteral("見積(R6.4)"));
        list->AddSite(std::move(site));
    }
    return list;
}

struct Setup
{
    std::unique_ptr<velmora::data::DeploymentCopy> copy;
    std::unique_ptr<COutputDataManager> driver;
};

Setup MakeSetup(Method method, int sites)
{
    Setup s;
    s.copy = std::make_unique<velmora::data::DeploymentCopy>(velmora::data::Paths::exeDirectory());
    COutputDataManager::Parts parts;
    parts.truckClasses = std::make_unique<CBugakariList>();
    parts.unitPrices = std::make_unique<CDistrictUnitPrice>();
    parts.packageTable = std::make_unique<CSekouPackageData>();
    for (int i = 0; i < COutputDataManager::RegisterCount; ++i)
        parts.registers[static_cast<std::size_t>(i)] = SyntheticRegister(sites, 17U + static_cast<unsigned>(i));
    s.driver = std::make_unique<COutputDataManager>(std::move(parts));

    COutputDataManager& d = *s.driver;
    d.SelectRegister(0);
    if (method == Package) {
        const CSPSyubetsuComboBox types(nullptr);
        const CSPGaraHasseiComboBox works(nullptr);
        const CSPTsumikomiComboBox loadings(nullptr);
        d.SetPackageConditions(types.Items(0).value(0), works.Items(0).value(0), loadings.Items(0, 0).value(0),
                               QStringLiteral("無し"));
        d.SetPackageDistrict(kDistrict);
    } else {
        d.SetLabourRateConditions(kDistrict, false, 0, 0);
    }
    d.SetSortMode(0);
    return s;
}

void BM_FreshCalculation(benchmark::State& state)
{
    const auto method = static_cast<Method>(state.range(0));
    const int sites = static_cast<int>(state.range(1));
    Setup s = MakeSetup(method, sites);
    COutputDataManager& d = *s.driver;
    bool shift = false;
    for (auto _ : state) {
        // A job site 0.5 m away: different coordinates, so every row is new.
        shift = !shift;
        d.SetJobSite(0, 0, kJobX + (shift ? 0.5 : 0.0), kJobY);
        benchmark::DoNotOptimize(d.Calculate(false).Count());
    }
    state.counters["rows"] = d.Results().Count();
    state.SetItemsProcessed(state.iterations() * sites);
}

void BM_Recalculation(benchmark::State& state)
{
    const auto method = static_cast<Method>(state.range(0));
    const int sites = static_cast<int>(state.range(1));
    Setup s = MakeSetup(method, sites);
    COutputDataManager& d = *s.driver;
    d.SetJobSite(0, 0, kJobX, kJobY);
    d.Calculate(true);
    // A typed distance on the first row, as the grid's Enter key leaves it.
    d.Results().RowAt(1)->SetTransportDistance(12.3, CDisplayCalcResultData::DistanceSource::Typed);
    for (auto _ : state)
        benchmark::DoNotOptimize(d.Calculate(false).Count());
    state.counters["rows"] = d.Results().Count();
    state.SetItemsProcessed(state.iterations() * sites);
}

void Sizes(benchmark::internal::Benchmark* b)
{
    for (int method : {Package, LabourRate})
        for (int sites : {1000, 10000, 100000})
            b->Args({method, sites});
    b->ArgNames({"labourRate", "sites"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FreshCalculation)->Apply(Sizes);
BENCHMARK(BM_Recalculation)->Apply(Sizes);

} // namespace

int main(int argc, char** argv)
{
    // The sample deployment is found beside the executable.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
