#pragma once

#include "calc/CDisplayCalcResultData.h"
#include "calc/ResultPlaces.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class CDisplayCalcResultList;
class QPagedPaintDevice;
class QTextDocument;

namespace velmora::ui {

// What the estimator chose for the calculation a result came from, in the
// words of the condition panel.
struct EvidenceConditions
{
    QDateTime calculatedAt;
    QString xText; // as typed, metres
    QString yText;
    double latitude = 0;
    double longitude = 0;
    QString district;
    QString method;
    QString costItem;
    QString transportType;
    // The detail choices the transport type asks for: caption, choice.
    QList<std::pair<QString, QString>> transportDetails;
    bool did = false;
    // The version labels of the master data the figures were computed from.
    QString edition;
    QString version;
    // The bid case the job site was captured from; empty for none.
    QString bidCaseNumber;
    QString bidCaseName;
    // What differs from the table the reopened case showed when it was
    // saved, one line per change; empty when nothing does.
    QStringList caseChanges;
};

// One result row: the grid's cell texts and what the estimator replaced.
struct EvidenceRow
{
    QStringList cells;
    // The transport distance is a road distance (fetched or typed), not the
    // straight line.
    bool roadDistance = false;
    // Where that distance came from: the route page or the estimator.
    CDisplayCalcResultData::DistanceSource distanceSource = CDisplayCalcResultData::DistanceSource::None;
    // A typed fee replaced the registered one.
    bool typedFee = false;
    // The fee is not per m³, yet the total adds it to a cost per m³.
    bool unitCaution = false;
    // The transport distance lies beyond the sites' 60 km: no price, no rank.
    bool beyondReach = false;
    // The day a road distance was read from the route page; null when unknown.
    QDate readOn;
    // That distance is shorter than the straight line.
    bool shorterThanStraight = false;
};

struct EvidenceSheetData
{
    EvidenceConditions conditions;
    int sortMode = 0; // 0 by amount, 1 by distance
    QList<EvidenceRow> rows;
    QDate madeOn;
    // Where the job site and the rows lie, for the location map on a page of
    // its own after the table; no page when there are no sites.
    velmora::calc::ResultPlaces places;
};

// The rows of `list` in display order. Walks the list's shared cursor.
QList<EvidenceRow> EvidenceRows(CDisplayCalcResultList& list);

// The evidence sheet (根拠資料) an estimator files with a bid estimate: the
// conditions, the ranked table with the replaced values marked, and the
// data edition, on A4 landscape. Everything that tells values apart is a
// mark or a weight, never a colour alone, because offices print in grey.
class EvidenceSheet
{
public:
    static constexpr double MarginMm = 10;

    explicit EvidenceSheet(EvidenceSheetData data);

    QString Title() const;
    // The sheet as rich text for QTextDocument.
    QString Html() const;
    // Lays the sheet out as a document in the sheet's font.
    void Fill(QTextDocument& document) const;
    // Sets A4 landscape and the margins on `device` and prints every page.
    void Print(QPagedPaintDevice& device) const;
    // A PDF of the sheet with its fonts embedded. velmora::Error naming the
    // file when it cannot be written.
    void WritePdf(const QString& path) const;

    // The marks placed before replaced values, explained in the legend.
    // The marks of a road distance read from the route page and of a typed one.
    static QString RoadDistanceMark();
    static QString TypedDistanceMark();
    static QString TypedFeeMark();
    // The unit of transport costs and totals.
    static QString PerCubicMetre();

private:
    EvidenceSheetData m_data;
};

} // namespace velmora::ui
