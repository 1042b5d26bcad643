#pragma once

#include <QString>
#include <QStringList>

// The selection lists pair with the other tables by position: the cost item
// at index i takes register i and the transport types of the section named
// after it, the transport type at index j the truck class j. A deleted,
// duplicated or swapped entry would price one choice with another's figures
// under its own label, so each list is checked against what it pairs with.
namespace velmora::data {

// Reports every problem of the six list files and the register names as
// table findings.
void CheckSelectionLists();

// The register name of cost item `kind` is the one its label in the cost-item
// list holds, and no other label holds it; the finding's text otherwise.
QString RegisterNameProblem(const QStringList& registerNames, const QStringList& costItems, int kind);

} // namespace velmora::data
