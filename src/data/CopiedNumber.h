#pragma once

#include <QString>

namespace velmora::data {

// What a number field holds, for reading what an estimator copied into it.
enum class CopiedNumberKind { Coordinate, Distance, Fee };

// A copied number in the form the field is typed in, as it was meant:
// full-width digits, "．" and "－" become half-width, blanks around it go,
// and a trailing "km" (distance) or "円" and thousands separators in their
// places (fee, "4,500円") are dropped. Anything else is left as it is for the
// field's own rules to judge, so "1e5" or "-5" in a distance stay refused.
QString ReadCopiedNumber(const QString& text, CopiedNumberKind kind);

} // namespace velmora::data
