// A whole data folder as velmora-calc reads it: the sample deployment with
// some files replaced or removed, then loaded, decoded and calculated.
//
// Input: records of [file index][length, 2 bytes little-endian][bytes]; the
// length 0xFFFF removes the file instead. Later records for a file win.

#include "FuzzSupport.h"

#include "CalcRun.h"
#include "data/Error.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

using namespace velmora::fuzz;

namespace {

const QStringList& Files()
{
    static const QStringList files = {
        QStringLiteral("EA01.dat"), QStringLiteral("EB01.dat"), QStringLiteral("ET02.dat"),
        QStringLiteral("ES24.dat"), QStringLiteral("ER01.dat"), QStringLiteral("ES22.dat"),
        QStringLiteral("ESP2.dat"), QStringLiteral("ET19.dat"), QStringLiteral("EC01.dat"),
        QStringLiteral("DTTankaSuryo.ini"), QStringLiteral("SyobunjoKikakuSource.ini"),
        QStringLiteral("Himoku_RowSource.ini"), QStringLiteral("Syubetsu_RowSource.ini"),
        QStringLiteral("SPHimoku_RowSource.ini"), QStringLiteral("SPSyubetsu_RowSource.ini"),
        QStringLiteral("SPGaraHassei_RowSource.ini"), QStringLiteral("SPTsumikomiKubun_RowSource.ini"),
    };
    return files;
}

QMap<QString, QByteArray> LoadSample()
{
    QMap<QString, QByteArray> sample;
    const QString dir = qEnvironmentVariableIsSet("VELMORA_FUZZ_DEPLOYMENT")
        ? qEnvironmentVariable("VELMORA_FUZZ_DEPLOYMENT")
        : QStringLiteral(VELMORA_FUZZ_DEPLOYMENT);
    for (const QString& name : Files()) {
        QFile file(QDir(dir).filePath(QStringLiteral("dat/") + name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "sample deployment file missing: %s\n", qPrintable(file.fileName()));
            std::abort();
        }
        sample.insert(name, file.readAll());
    }
    return sample;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QMap<QString, QByteArray> sample = LoadSample();
    static QTemporaryDir deployment;
    static const QString dat = QDir(deployment.path()).filePath(QStringLiteral("dat/"));
    QDir().mkpath(dat);

    QMap<QString, std::optional<QByteArray>> files;
    for (auto it = sample.constBegin(); it != sample.constEnd(); ++it)
        files.insert(it.key(), it.value());
    bool labourRate = false;
    size_t i = 0;
    while (i + 3 <= size) {
        const QString& name = Files().at(data[i] % Files().size());
        labourRate = labourRate != (data[i] >= 128);
        const size_t length = data[i + 1] | (data[i + 2] << 8);
        i += 3;
        if (length == 0xFFFF) {
            files[name].reset();
            continue;
        }
        const size_t taken = std::min(length, size - i);
        files[name] = Bytes(data + i, taken);
        i += taken;
    }

    // Whatever a run left behind belongs to no case: start from a clean folder.
    for (const QString& left : QDir(dat).entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dat + left);
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        if (!it.value())
            continue;
        QFile file(dat + it.key());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(*it.value()) == it.value()->size());
    }

    velmora::tools::CalcArguments arguments;
    arguments.deployDir = deployment.path();
    arguments.method = labourRate ? velmora::tools::CalcMethod::LabourRate : velmora::tools::CalcMethod::Package;
    arguments.x = -120000;
    arguments.y = 20000;
    arguments.district = 0;
    try {
        const velmora::tools::CalcTable table = velmora::tools::RunCalc(arguments);
        for (const QStringList& row : table.rows)
            FUZZ_CHECK(row.size() == table.header.size());
    } catch (const velmora::Error&) {
        // A broken folder is reported, which is all that is asked of it.
    }
    // The private copy is gone and the deployment holds only what we wrote.
    QStringList expected;
    for (auto it = files.constBegin(); it != files.constEnd(); ++it)
        if (it.value())
            expected.append(it.key());
    QStringList present = QDir(dat).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    expected.sort();
    FUZZ_CHECK(present == expected);
    return 0;
}
