#pragma once

#include "CSyobunjoData.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>


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
    // the names, an unreadable site table or coordinate table ends the load
    // quietly with no site (start-up names the files): a site without
    // coordinates cannot be placed. A site whose line or coordinate line is
    // damaged is left out alone and reported as a table finding; every other
    // site loads with its coordinates.
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

private:
    // Raises velmora::Error when the names file has no line for the kind.
    void LoadCostItemName(int kind);
    void LoadSiteTable();
    bool LoadCoordinates();

    QString costItemName;
    std::vector<std::unique_ptr<CSyobunjoData>> sites;
    QStringList costItemNames;
    // Keys whose lines contradict each other; none of their lines is used.
    QSet<QString> doubtfulKeys;
    std::size_t cursor = 0;
};
