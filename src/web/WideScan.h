#pragma once

#include <QString>

namespace velmora::web {

// The answer of ScanTwoFields when the pattern cannot be applied at all.
inline constexpr int ScanRejected = -2;
// End of the input before the first assignment, as the C library reports it.
inline constexpr int ScanEndOfInput = -1;

// Applies a scan pattern of the map definitions to an address the way the C
// library's wide formatted input does for the string conversions: "%s" and
// "%[...]" (with "^", ranges, a leading "]"), an optional width, the "l"
// modifier, assignment suppression "%*", "%%", literal characters and white
// space (any amount, none included). The return value is the number of fields
// assigned, ScanEndOfInput when the address ran out before anything was
// assigned, or ScanRejected for a pattern holding any other conversion, a
// malformed directive or more than two assigning conversions; a rejected
// pattern never touches the fields.
//
// Fields are written only for conversions that assign; each field is at most
// as long as the input, so a caller's buffer of the input's length plus one
// always holds it. Characters are UTF-16 code units, white space is the six
// ASCII white-space characters.
int ScanTwoFields(const QString& input, const QString& pattern, QString& first, QString& second);

} // namespace velmora::web
