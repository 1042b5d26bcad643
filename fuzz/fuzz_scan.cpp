// The scan patterns of the map definitions applied to case addresses. The
// input is "pattern NUL address", both UTF-8, so patterns stay readable.

#include "FuzzSupport.h"

#include "web/WideScan.h"

using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const qsizetype nul = bytes.indexOf('\0');
    const QString pattern = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QString address = nul < 0 ? QString() : QString::fromUtf8(bytes.mid(nul + 1));

    const QString untouched = QStringLiteral("\x01untouched");
    QString first = untouched;
    QString second = untouched;
    const int assigned = velmora::web::ScanTwoFields(address, pattern, first, second);
    FUZZ_CHECK(assigned >= velmora::web::ScanRejected && assigned <= 2);
    if (assigned == velmora::web::ScanRejected || assigned == velmora::web::ScanEndOfInput) {
        FUZZ_CHECK(first == untouched && second == untouched);
    }
    // The caller sizes its buffers by the address: a field never outgrows it.
    if (assigned >= 1)
        FUZZ_CHECK(first.size() <= address.size());
    if (assigned == 2)
        FUZZ_CHECK(second.size() <= address.size());
    return 0;
}
