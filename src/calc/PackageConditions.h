#pragma once

#include <QString>
#include <QStringList>

// Which choices of the condition panel a construction-package transport type
// reads, and the texts they select the package table's group with. The
// panel, the case files and velmora-calc all go through these, so that a
// case reopened anywhere is priced with the conditions it was saved with.
namespace velmora::calc {

struct CaseData;

// What a construction-package transport type reads besides its own text and
// the DID choice, by the type's position in its list.
enum class PackageDetails
{
    DebrisWorkAndLoading,   // the debris-generating work and the loading method
    RefuseKindAndDumpTruck, // the kind of refuse and the dump truck carried or lent
    NoDetails,
    LoadClass,
    Unpriced, // a position the package table has no conditions for
};
PackageDetails PackageDetailsOf(int transportType);

// The single choice each of these two lists offers.
const QStringList& RefuseKinds();
const QStringList& LoadClasses();

// The construction-package choices of `d` that its transport type does not
// read emptied, all of them for a labour-rate case, so that only what priced
// the case is kept.
void KeepDetailsRead(CaseData& d, int transportType);

// The texts that select the package table's group for the case's
// conditions: transport type first, DID text last. Empty for an unpriced
// transport type.
QStringList PackageConditionTexts(const CaseData& d, int transportType);

} // namespace velmora::calc
