#pragma once

#include <QDate>
#include <QString>

// One line of the result table: a disposal site within reach with its
// distances, fees, transport cost, total and rank. Setters store only; the
// confirmed distance and fee follow at the driver's next recalculation, so a
// value typed into the grid never changes a figure behind the user's back.
class CDisplayCalcResultData
{
public:
    // Where the transport distance came from. A typed 0 clears it, so a row
    // without a transport distance is always None.
    enum class DistanceSource { None, Typed, RoutePage };

    const QString& GetSiteName() const { return siteName; }
    double GetStraightDistance() const { return straightDistance; }
    double GetTransportDistance() const { return transportDistance; }
    double GetConfirmedDistance() const { return confirmedDistance; }
    const QString& GetDirection() const { return direction; }
    int GetDisposalFee() const { return disposalFee; }
    const QString& GetFeeUnit() const { return feeUnit; }
    const QString& GetPriceSource() const { return priceSource; }
    int GetManualFee() const { return manualFee; }
    int GetConfirmedFee() const { return confirmedFee; }
    int GetTransportCost() const { return transportCost; }
    int GetTotal() const { return total; }
    int GetRank() const { return rank; }
    const QString& GetBandText() const { return bandText; }
    double GetSiteX() const { return siteX; }
    double GetSiteY() const { return siteY; }
    DistanceSource GetDistanceSource() const { return distanceSource; }
    // The day a road distance was read from the route page; null for any
    // other distance, and for one kept from a file that did not say.
    const QDate& GetDistanceReadOn() const { return distanceReadOn; }

    void SetSiteName(const QString& v) { siteName = v; }
    void SetStraightDistance(double v) { straightDistance = v; }
    void SetConfirmedDistance(double v) { confirmedDistance = v; }
    void SetDirection(const QString& v) { direction = v; }
    void SetDisposalFee(int v) { disposalFee = v; }
    void SetFeeUnit(const QString& v) { feeUnit = v; }
    void SetPriceSource(const QString& v) { priceSource = v; }
    void SetManualFee(int v) { manualFee = v; }
    void SetConfirmedFee(int v) { confirmedFee = v; }
    void SetTransportCost(int v) { transportCost = v; }
    void SetTotal(int v) { total = v; }
    void SetRank(int v) { rank = v; }
    void SetBandText(const QString& v) { bandText = v; }
    void SetSiteX(double v) { siteX = v; }
    void SetSiteY(double v) { siteY = v; }
    // The transport distance and where it came from, together, with the day
    // a road distance from the route page was read.
    void SetTransportDistance(double v, DistanceSource source, const QDate& readOn = QDate())
    {
        transportDistance = v;
        distanceSource = v == 0 ? DistanceSource::None : source;
        distanceReadOn = distanceSource == DistanceSource::RoutePage ? readOn : QDate();
    }
    // A distance committed from the grid: Enter commits the fee of the row
    // too, so an unchanged distance keeps the source and day it had.
    void CommitTypedTransportDistance(double v)
    {
        const bool same = v == transportDistance;
        SetTransportDistance(v, same ? distanceSource : DistanceSource::Typed, same ? distanceReadOn : QDate());
    }

    // A road or typed distance of 0 means "none": the straight line applies.
    void UpdateConfirmedDistance();
    // A typed fee of 0 means "none": the registered fee applies.
    void UpdateConfirmedFee();

private:
    QString siteName;
    double straightDistance = 0;
    double transportDistance = 0;
    double confirmedDistance = 0;
    QString direction;
    int disposalFee = 0;
    QString feeUnit;
    QString priceSource;
    int manualFee = 0;
    int confirmedFee = 0;
    int transportCost = 0;
    int total = 0;
    int rank = 0;
    QString bandText;
    double siteX = 0;
    double siteY = 0;
    DistanceSource distanceSource = DistanceSource::None;
    QDate distanceReadOn;
};
