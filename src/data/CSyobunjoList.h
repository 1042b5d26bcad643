#pragma once

#include "CSyobunjoData.h"

#include <QString>
#include <memory>
#include <vector>

namespace velmora::data {

// A site left out of its register because its line in a table is damaged.
struct SiteLeftOut
{
    QString file;   // the table as it lies in dat/ ("ET19.dat")
    int line = 0;   // from 1; 0 when the table has no line for the site
    QString siteKey;
    QString siteName;
    QString reason;

    bool operator==(const SiteLeftOut& o) const
    {
        return file == o.file && line == o.line && siteKey == o.siteKey && siteName == o.siteName && reason == o.reason;
    }
};

// One warning for the sites left out of all registers (each site and line
// once, in the order given, the first 20 of them named); empty when none was.
QString SitesLeftOutText(const std::vector<SiteLeftOut>& leftOut);

} // namespace velmora::data

// The disposal-site register of one cost item, loaded once from the working
// files "DT19" and "DC01" and the cost-item names. Walking it and
// FindByCoordinates share one cursor.
class CSyobunjoList
{
public:
    // kind 0, 1 or 2: the cost item whose sites are loaded. A negative kind
    // builds an empty register without reading anything (synthetic registers).
    explicit CSyobunjoList(int kind);
    ~CSyobunjoList();
    CSyobunjoList(const CSyobunjoList&) = delete;
    CSyobunjoList& operator=(const CSyobunjoList&) = delete;

    // True when the site table and the coordinates were read. A failure in
    // the names or an unreadable site table ends the load quietly with the
    // sites read so far (without coordinates). A site whose fee is not a whole
    // number, whose coordinate line is missing or damaged, is left out alone
    // and noted in LeftOut(); every other site loads with its coordinates.
    bool LoadSites(int kind);

    void MoveFirst();
    bool IsEnd() const;
    bool MoveNext();
    // Raises velmora::Error at the end instead of reading past the last site.
    CSyobunjoData& Current();
    // Exact double comparison; leaves the cursor on the site found or at the end.
    CSyobunjoData* FindByCoordinates(double x, double y);
    void AddSite(std::unique_ptr<CSyobunjoData> site);

    int Count() const { return static_cast<int>(sites.size()); }
    const QString& CostItemName() const { return costItemName; }
    const std::vector<velmora::data::SiteLeftOut>& LeftOut() const { return leftOut; }

private:
    // Raises velmora::Error when the names file has no line for the kind.
    void LoadCostItemName(int kind);
    void LoadSiteTable();
    bool LoadCoordinates();

    QString costItemName;
    std::vector<std::unique_ptr<CSyobunjoData>> sites;
    std::vector<velmora::data::SiteLeftOut> leftOut;
    std::size_t cursor = 0;
};
