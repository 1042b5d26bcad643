// The UTF-16LE line files: marks, every kind of line break, odd lengths.

#include "FuzzSupport.h"

#include "data/Error.h"
#include "data/TextFiles.h"

#include <QFile>
#include <QTemporaryDir>

using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("DT02.dat"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Bytes(data, size));
    }
    const QStringList lines = velmora::data::ReadLineFile(path);

    QString units = Utf16Units(data, size);
    if (!units.isEmpty() && units.at(0) == QChar(0xFEFF))
        units.remove(0, 1);
    FUZZ_CHECK(lines == velmora::data::SplitLines(units));

    qsizetype total = 0;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
        total += line.size();
    }
    FUZZ_CHECK(total <= units.size());
    // Lines written back with one line break each read back the same.
    if (!lines.isEmpty())
        FUZZ_CHECK(velmora::data::SplitLines(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")) == lines);
    return 0;
}
