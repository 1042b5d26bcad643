#pragma once

#include "CDisplayCalcResultData.h"
#include "data/Error.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CDisplayCalcResultList;
class CHimokuRowSource;
class CJobSiteCoordinatesData;
class COutputDataManager;
class CSPGaraHasseiComboBox;
class CSPHimokuRowSource;
class CSPSyubetsuComboBox;
class CSPTsumikomiComboBox;
class CSyubetsuComboBox;

// A case file: everything an estimator set up for one bid, so that the work
// can be reopened another day, in the window or in velmora-calc, and give
// the same table. A small versioned JSON text in UTF-8; conditions are kept
// as the texts of the lists they were chosen from, so that a deployment whose
// lists have changed is noticed and named instead of silently reinterpreted.
namespace velmora::calc {

// A file that is not a case file, one from a newer program, or one that the
// deployment cannot reproduce. The message says which and names what is wrong.
class CaseFileError : public velmora::Error
{
public:
    using Error::Error;
};

// The bid case whose map page the job site was captured from.
struct BidCase
{
    QString number;
    QString name;
    bool isEmpty() const { return number.isEmpty() && name.isEmpty(); }
};

// A value the estimator gave one row: a transport distance with where it came
// from and the job site it was measured from, and a typed disposal fee.
struct CaseRow
{
    QString site;
    double transportDistance = 0;
    CDisplayCalcResultData::DistanceSource source = CDisplayCalcResultData::DistanceSource::None;
    QString fromX;
    QString fromY;
    int manualFee = 0;
    // The day a road distance was read from the route page; kept from
    // files that say it, null otherwise.
    QDate readOn;
};

// One row as the table showed it when the case was saved: the cell texts of
// the confirmed fee, the transport cost, the total and the rank (empty
// where the table showed none).
struct ShownRow
{
    QString site;
    QString fee;
    QString transportCost;
    QString total;
    QString rank;
};

struct CaseData
{
    static constexpr int FormatVersion = 2;
    // The largest fee the result grid takes, and the largest case file read:
    // a few hundred rows at most, never megabytes.
    static constexpr int MaxManualFee = 99999999;
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    // The version of the file read; 1 keeps no shown figures to compare.
    int formatVersion = FormatVersion;

    QString xText;
    QString yText;
    QString district;
    bool packageMethod = true;
    QString costItem;
    QString transportType;
    // Construction-package details; only those the transport type reads are
    // written and read back (the others stay empty).
    QString debrisWork;
    QString loading;
    QString refuseKind;
    QString loadClass;
    bool dumpTruckCarry = true;
    bool did = false;
    int sortMode = 0; // 0 by amount, 1 by distance
    BidCase bidCase;
    std::vector<CaseRow> rows;
    // The master data's version labels and every row of the table as shown
    // when saved, so that a reopened case can say what changed since.
    QString dataEdition;
    std::vector<ShownRow> shown;
};

// The case as JSON text, UTF-8.
QByteArray WriteCase(const CaseData& data);
// CaseFileError when the bytes are not a case file of a version this program
// reads, or when a field has the wrong kind of value.
CaseData ReadCase(const QByteArray& bytes);

// velmora::Error naming the file and the reason when it cannot be read or
// written; CaseFileError as ReadCase.
CaseData LoadCaseFile(const QString& path);
void SaveCaseFile(const QString& path, const CaseData& data);

// The rows of `list` that carry a transport distance or a typed fee, in
// display order, measured from `jobSite`. Walks the list's shared cursor.
std::vector<CaseRow> CaseRowsOf(CDisplayCalcResultList& list, const CJobSiteCoordinatesData& jobSite);

// Every row of `list` as the table shows it. Walks the list's shared cursor.
std::vector<ShownRow> ShownRowsOf(CDisplayCalcResultList& list);

// What differs between the table a case showed when saved and the one it
// gives now: the data edition, and per site its total and rank (old → new),
// a site gone from the list or new in it. Empty when nothing differs, and
// for a file that kept no figures.
QStringList CaseChanges(const CaseData& saved, const QString& editionNow, const std::vector<ShownRow>& now);
// The heading those lines are told under.
QString CaseChangesHeading();

// The lists of the deployment, as the condition panel offers them.
struct CaseLists
{
    QStringList districts;
    QStringList packageCostItems;
    QStringList labourCostItems;
    std::function<QStringList(int costItem)> packageTransportTypes;
    std::function<QStringList(int costItem)> labourTransportTypes;
    std::function<QStringList(int costItem)> debrisWorks;
    std::function<QStringList(int costItem, int work)> loadings;
    QStringList refuseKinds;
    QStringList loadClasses;
    // The names of the registered disposal sites of a cost item.
    std::function<QStringList(int costItem)> siteNames;
};

// The names of the sites in the driver's register of a cost item (none for
// an index without a register). Walks the register's shared cursor.
QStringList SiteNames(COutputDataManager& driver, int costItem);

// The deployment's selection lists, as loaded by the window or velmora-calc.
struct ConditionSources
{
    const CHimokuRowSource* himoku = nullptr;
    const CSPHimokuRowSource* spHimoku = nullptr;
    const CSyubetsuComboBox* syubetsu = nullptr;
    const CSPSyubetsuComboBox* spSyubetsu = nullptr;
    const CSPGaraHasseiComboBox* spGaraHassei = nullptr;
    const CSPTsumikomiComboBox* spTsumikomi = nullptr;
};

// The lists a case is resolved against: the sources' lists, the districts
// as loaded, the package method's fixed lists and the driver's registers.
// Holds on to the sources and the driver.
CaseLists CaseListsOf(const ConditionSources& sources, const QStringList& districts, COutputDataManager& driver);

// The positions in those lists of what the case names.
struct CaseIndexes
{
    int district = -1;
    int costItem = -1;
    int transportType = -1;
    int debrisWork = 0;
    int loading = 0;
    int refuseKind = 0;
    int loadClass = 0;
};

// CaseFileError naming every district, condition and site the deployment
// no longer has, and every row whose distance was measured from another
// job site.
CaseIndexes ResolveCase(const CaseData& data, const CaseLists& lists);

// The values of the case's rows put into `list` as the estimator had them,
// and none on the other rows; returns the sites not found in the list.
QStringList ApplyCaseRows(const CaseData& data, CDisplayCalcResultList& list);

QString CaseFileSuffix();
QString CaseFileFilter();

} // namespace velmora::calc
