#pragma once

// The condition panel's choices at the last calculation, one half per
// estimating method, so that switching back to the construction-package
// method can put its choices back. Indexes are list positions, -1 for none.
class CCalcConditionData
{
public:
    // The labour-rate cost item and transport type are remembered but never
    // restored: switching to that method resets its lists.
    void SetBugakariCostItem(int index) { bugakariCostItem = index; }
    void SetBugakariTransportType(int index) { bugakariTransportType = index; }
    void SetBugakariDid(bool did) { bugakariDid = did; }
    bool GetBugakariDid() const { return bugakariDid; }

    void SetSpCostItem(int index) { spCostItem = index; }
    void SetSpTransportType(int index) { spTransportType = index; }
    void SetSpDebrisWork(int index) { spDebrisWork = index; }
    void SetSpLoadingMethod(int index) { spLoadingMethod = index; }
    void SetSpLoadClass(int index) { spLoadClass = index; }
    void SetSpRefuseKind(int index) { spRefuseKind = index; }
    void SetSpDumpTruckCarry(bool carry) { spDumpTruckCarry = carry; }
    void SetSpDid(bool did) { spDid = did; }

    int GetSpCostItem() const { return spCostItem; }
    int GetSpTransportType() const { return spTransportType; }
    int GetSpDebrisWork() const { return spDebrisWork; }
    int GetSpLoadingMethod() const { return spLoadingMethod; }
    int GetSpLoadClass() const { return spLoadClass; }
    int GetSpRefuseKind() const { return spRefuseKind; }
    bool GetSpDumpTruckCarry() const { return spDumpTruckCarry; }
    bool GetSpDid() const { return spDid; }

private:
    int bugakariCostItem = 0;
    int bugakariTransportType = 0;
    bool bugakariDid = false;
    int spCostItem = 0;
    int spTransportType = 0;
    int spDebrisWork = 0;
    int spLoadingMethod = 0;
    int spLoadClass = 0;
    int spRefuseKind = 0;
    bool spDumpTruckCarry = false;
    bool spDid = false;
};
