// Number texts of tables, fields and cells, and the figures written back.

#include "FuzzSupport.h"

#include "data/Error.h"
#include "data/NumberText.h"

#include <cmath>
#include <cstring>
#include <optional>

using namespace velmora::fuzz;

namespace {

void CheckWritten(double value)
{
    const QString text = FloatToStr(value);
    // Fifteen digits round the very largest doubles past the range; no
    // figure comes near them.
    if (!std::isfinite(value) || std::fabs(value) > 1e308)
        return;
    // What we write, we read back: close to the value, and written again
    // in the very same digits.
    const double back = StrToFloat(text);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14);
    FUZZ_CHECK(FloatToStr(back) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(Bytes(data, size));

    std::optional<int> integer;
    try {
        integer = StrToInt(text);
    } catch (const velmora::ConvertError&) {
    }
    FUZZ_CHECK(StrToIntDefault(text, -7) == integer.value_or(-7));
    if (integer)
        FUZZ_CHECK(StrToInt(IntToStr(*integer)) == *integer);

    std::optional<double> number;
    try {
        number = StrToFloat(text);
    } catch (const velmora::ConvertError&) {
    }
    if (number) {
        FUZZ_CHECK(std::isfinite(*number));
        FUZZ_CHECK(StrToFloatDefault(text, 0.5) == *number);
        CheckWritten(*number);
    }

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckWritten(raw);
    }
    return 0;
}
