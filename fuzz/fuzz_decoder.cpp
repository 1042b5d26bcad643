// The scrambling routine of the master tables: its own inverse, length kept.

#include "FuzzSupport.h"

#include "data/CEnDecryption.h"

using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const QByteArray once = CEnDecryption::Transform(bytes);
    FUZZ_CHECK(once.size() == bytes.size());
    // Only the first byte of each unit changes.
    for (qsizetype i = 1; i < bytes.size(); i += 2)
        FUZZ_CHECK(once.at(i) == bytes.at(i));
    FUZZ_CHECK(CEnDecryption::Transform(once) == bytes);
    return 0;
}
