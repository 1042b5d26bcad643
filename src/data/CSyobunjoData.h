#pragma once

#include <QString>

// One registered disposal site of one cost item.
class CSyobunjoData
{
public:
    const QString& GetSiteKey() const { return siteKey; }
    const QString& GetCostItem() const { return costItem; }
    const QString& GetSiteName() const { return siteName; }
    int GetDisposalFee() const { return disposalFee; }
    const QString& GetFeeUnit() const { return feeUnit; }
    const QString& GetPriceSource() const { return priceSource; }
    double GetX() const { return x; }
    double GetY() const { return y; }

    void SetSiteKey(const QString& v) { siteKey = v; }
    void SetCostItem(const QString& v) { costItem = v; }
    void SetSiteName(const QString& v) { siteName = v; }
    // Converted as a decimal integer; empty gives 0; ConvertError otherwise.
    void SetDisposalFee(const QString& text);
    void SetFeeUnit(const QString& v) { feeUnit = v; }
    void SetPriceSource(const QString& v) { priceSource = v; }
    // Converted as decimal numbers; empty gives 0; ConvertError otherwise.
    void SetX(const QString& text);
    void SetY(const QString& text);
    // For synthetic registers (benchmarks, tests).
    void SetDisposalFeeValue(int v) { disposalFee = v; }
    void SetXValue(double v) { x = v; }
    void SetYValue(double v) { y = v; }

private:
    QString siteKey;
    QString costItem;
    QString siteName;
    int disposalFee = 0;
    QString feeUnit;
    QString priceSource;
    double x = 0;
    double y = 0;
};
