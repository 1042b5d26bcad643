#pragma once

#include "CaseFile.h"

#include <QString>

namespace velmora::calc {

// What the window and velmora-calc both check of an opened case before
// anything is calculated from it, so that neither gives figures the other
// refuses. CaseFileError when the job site is missing (0 or not a number):
// the window cannot calculate without one.
void CheckCaseJobSite(const CaseData& d);

// CaseFileError when the calculation button would refuse the case's
// conditions (a construction-package transport type without conditions).
void CheckCaseCalculable(const CaseData& d, const CaseIndexes& at);

// The words a refused case is told in: the file and the reason.
QString CaseOpenFailureText(const QString& path, const QString& reason);

} // namespace velmora::calc
