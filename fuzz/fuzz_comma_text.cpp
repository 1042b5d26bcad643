// Comma text and the strict split of table lines.

#include "FuzzSupport.h"

#include "data/TextFiles.h"

using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = Utf16Units(data, size);
    const QStringList strict = velmora::data::SplitStrict(line);
    if (line.isEmpty()) {
        FUZZ_CHECK(strict.isEmpty());
    } else {
        FUZZ_CHECK(strict.size() == line.count(u',') + 1);
        FUZZ_CHECK(strict.join(u',') == line);
    }

    const QStringList fields = velmora::data::SplitCommaText(line);
    qsizetype fieldUnits = 0;
    for (const QString& field : fields)
        fieldUnits += field.size();
    FUZZ_CHECK(fieldUnits <= line.size());

    // Without quotes, blanks or NULs there is nothing to trim or unquote:
    // both splits must then agree field for field.
    bool plain = true;
    for (QChar c : line)
        plain = plain && c != u'"' && c.unicode() > 32;
    if (plain)
        FUZZ_CHECK(fields == strict);
    return 0;
}
