// INI files in every encoding the reader accepts, and what it writes back.

#include "FuzzSupport.h"

#include "data/IniFile.h"

using velmora::data::IniEncoding;
using velmora::data::IniFile;
using namespace velmora::fuzz;

namespace {

void Exercise(const IniFile& ini)
{
    for (const QString& section : ini.sectionNames()) {
        // A section without a line counts as absent.
        const QStringList lines = ini.sectionLines(section);
        FUZZ_CHECK(ini.hasSection(section) == !lines.isEmpty());
        for (const QString& line : lines) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq <= 0)
                continue;
            const QString key = line.left(eq);
            FUZZ_CHECK(ini.hasKey(section, key));
            (void)ini.value(section, key);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    for (const auto mode : {IniFile::Decode::FromMark, IniFile::Decode::AlwaysUtf16Le}) {
        const IniFile ini = IniFile::fromBytes(bytes, mode);
        Exercise(ini);
        const QString text = ini.text();
        // UTF-16 holds every code unit, so the text written that way must
        // read back as the very same file.
        const IniFile again = IniFile::fromBytes(ini.encode(IniEncoding::Utf16LeBom));
        FUZZ_CHECK(again.encoding() == IniEncoding::Utf16LeBom);
        FUZZ_CHECK(again.text() == text);
        // The other encodings may lose characters, never crash.
        for (const auto encoding : {IniEncoding::Cp932, IniEncoding::Utf8Bom, IniEncoding::Utf16BeBom})
            Exercise(IniFile::fromBytes(ini.encode(encoding)));

        IniFile edited = ini;
        edited.setValue(QStringLiteral("Velmora"), QStringLiteral("地区"), QStringLiteral("津市"));
        FUZZ_CHECK(edited.value(QStringLiteral("velmora"), QStringLiteral("地区")) == QStringLiteral("津市")
                   || ini.hasKey(QStringLiteral("Velmora"), QStringLiteral("地区")));
    }
    return 0;
}
