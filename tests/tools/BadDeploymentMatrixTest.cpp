// Deployments as they turn up on estimators' machines: half-copied, edited by
// hand, saved in the wrong encoding. velmora-calc runs on each, once per
// estimating method, and must end with a status and a message, never with a
// signal or a hang, and leave neither the deployment nor a working file behind.

#include "data/CEnDecryption.h"
#include "data/IniFile.h"
#include "support/FolderSnapshot.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <functional>
#include <iostream>
#include <optional>

using velmora::data::IniEncoding;
using velmora::data::IniFile;
using velmora::test::FolderSnapshot;
using velmora::test::TempDeployment;

namespace {

const QStringList kTables = {
    QStringLiteral("dat/EA01.dat"), QStringLiteral("dat/EB01.dat"), QStringLiteral("dat/ET02.dat"),
    QStringLiteral("dat/ES24.dat"), QStringLiteral("dat/ER01.dat"), QStringLiteral("dat/ES22.dat"),
    QStringLiteral("dat/ESP2.dat"), QStringLiteral("dat/ET19.dat"), QStringLiteral("dat/EC01.dat"),
};
const QStringList kIniFiles = {
    QStringLiteral("dat/DTTankaSuryo.ini"),         QStringLiteral("dat/SyobunjoKikakuSource.ini"),
    QStringLiteral("dat/Himoku_RowSource.ini"),     QStringLiteral("dat/Syubetsu_RowSource.ini"),
    QStringLiteral("dat/SPHimoku_RowSource.ini"),   QStringLiteral("dat/SPSyubetsu_RowSource.ini"),
    QStringLiteral("dat/SPGaraHassei_RowSource.ini"), QStringLiteral("dat/SPTsumikomiKubun_RowSource.ini"),
};

bool IsTable(const QString& relative) { return relative.endsWith(QStringLiteral(".dat")); }

// The file's text as its reader sees it.
QString TextOf(const QString& relative, const QByteArray& bytes)
{
    if (IsTable(relative)) {
        const QByteArray plain = CEnDecryption::Transform(bytes);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(plain.constData()), plain.size() / 2);
    }
    return IniFile::decode(bytes, IniFile::Decode::FromMark);
}

// A damage turns a file's bytes into what lands on the machine; nullopt: the
// file is not there at all.
struct Damage
{
    const char* name;
    std::function<std::optional<QByteArray>(const QString& relative, const QByteArray& bytes)> apply;
};

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> damages = {
        {"missing", [](const QString&, const QByteArray&) { return std::optional<QByteArray>(); }},
        {"empty", [](const QString&, const QByteArray&) { return std::optional<QByteArray>(QByteArray()); }},
        // A copy broken off in the middle of a UTF-16 unit.
        {"cut odd", [](const QString&, const QByteArray& b) { return std::optional<QByteArray>(b.left((b.size() / 2) | 1)); }},
        {"random",
         [](const QString& relative, const QByteArray& b) {
             QRandomGenerator random(static_cast<quint32>(qHash(relative)));
             QByteArray noise(b.size(), Qt::Uninitialized);
             for (char& c : noise)
                 c = static_cast<char>(random.bounded(256));
             return std::optional<QByteArray>(noise);
         }},
        // Tables saved in the ANSI code page instead of UTF-16; INI files in
        // UTF-8 without a mark, which reads as CP932 garbage.
        {"encoding",
         [](const QString& relative, const QByteArray& b) {
             const QString text = TextOf(relative, b);
             return std::optional<QByteArray>(IsTable(relative) ? CEnDecryption::Transform(velmora::data::EncodeCp932(text))
                                                                : text.toUtf8());
         }},
    };
    return damages;
}

struct Outcome
{
    bool finished = false;
    bool crashed = false;
    int exitCode = -1;
    QString err;
    QByteArray out;
    QStringList leftBehind; // files in the run's temporary folder afterwards

    QString cell() const
    {
        if (!finished)
            return QStringLiteral("HANG");
        if (crashed)
            return QStringLiteral("CRASH");
        return QString::number(exitCode);
    }
};

// One run with its own temporary folder, so whatever it leaves there is seen.
Outcome RunCalc(const QString& deployment, const QString& method)
{
    QTemporaryDir temp;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-calc"),
            {QStringLiteral("--deploy"), deployment, QStringLiteral("--method"), method, QStringLiteral("--district"),
             QStringLiteral("0"), QStringLiteral("--x"), QStringLiteral("-120000"), QStringLiteral("--y"),
             QStringLiteral("20000")});
    Outcome o;
    o.finished = p.waitForFinished(120000);
    if (!o.finished) {
        p.kill();
        p.waitForFinished();
    }
    o.crashed = p.exitStatus() != QProcess::NormalExit;
    o.exitCode = p.exitCode();
    o.err = QString::fromUtf8(p.readAllStandardError());
    o.out = p.readAllStandardOutput();
    QDirIterator it(temp.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        o.leftBehind.append(it.next());
    return o;
}

// The checks every cell must pass, whatever the damage.
void ExpectSound(const Outcome& o, const QString& where)
{
    const std::string at = where.toStdString();
    ASSERT_TRUE(o.finished) << at << ": no end within two minutes";
    ASSERT_FALSE(o.crashed) << at << ": ended by a signal\n" << o.err.toStdString();
    EXPECT_TRUE(o.exitCode >= 0 && o.exitCode <= 2) << at << ": exit " << o.exitCode;
    EXPECT_TRUE(o.leftBehind.isEmpty()) << at << ": left " << o.leftBehind.join(u' ').toStdString();
    if (o.exitCode == 0) {
        EXPECT_TRUE(o.out.startsWith("No.\t")) << at;
    } else {
        // One message, in the tool's voice, with something to act on.
        EXPECT_TRUE(o.out.isEmpty()) << at << ": figures printed although it failed";
        EXPECT_TRUE(o.err.startsWith(QStringLiteral("velmora-calc: "))) << at << ": " << o.err.toStdString();
        EXPECT_GT(o.err.size(), 20) << at << ": " << o.err.toStdString();
    }
    // Sanitizer reports go to stderr without changing a clean exit.
    EXPECT_FALSE(o.err.contains(QStringLiteral("runtime error:")) || o.err.contains(QStringLiteral("Sanitizer")))
        << at << ": " << o.err.toStdString();
}

struct Row
{
    QString file;
    QStringList cells; // per damage: "package/labour" exit codes
    QStringList notes;
};

void PrintMatrix(const QList<Row>& rows)
{
    QString text = QStringLiteral("\nvelmora-calc on a damaged deployment (exit status package/labour; 0 figures, 1 data error, 2 argument)\n");
    text += QStringLiteral("%1").arg(QStringLiteral("file"), -32);
    for (const Damage& d : Damages())
        text += QStringLiteral("%1").arg(QString::fromLatin1(d.name), -10);
    text += u'\n';
    for (const Row& row : rows) {
        text += QStringLiteral("%1").arg(row.file, -32);
        for (const QString& cell : row.cells)
            text += QStringLiteral("%1").arg(cell, -10);
        text += u'\n';
    }
    std::cout << text.toStdString() << std::flush;
}

// The first line of a message, for the notes under the matrix.
QString FirstLine(const QString& err)
{
    return err.section(u'\n', 0, 0).remove(QStringLiteral("velmora-calc: ")).left(70);
}

TEST(BadDeploymentMatrix, VelmoraCalcEndsCleanlyOnEveryDamagedFile)
{
    QList<Row> rows;
    QStringList files = kTables + kIniFiles;
    for (const QString& relative : files) {
        Row row;
        row.file = relative.mid(4);
        for (const Damage& damage : Damages()) {
            TempDeployment deployment;
            ASSERT_TRUE(deployment.isValid());
            deployment.copySampleDeployment();
            const std::optional<QByteArray> bytes = damage.apply(relative, deployment.readBytes(relative));
            if (bytes)
                deployment.writeBytes(relative, *bytes);
            else
                deployment.remove(relative);
            const auto before = FolderSnapshot(deployment.exeDir());

            QStringList codes;
            for (const QString& method : {QStringLiteral("package"), QStringLiteral("labour")}) {
                const QString where = row.file + u' ' + QString::fromLatin1(damage.name) + u' ' + method;
                const Outcome o = RunCalc(deployment.exeDir(), method);
                ExpectSound(o, where);
                // A table that is not there at all is named, whichever method would read it.
                if (!bytes && IsTable(relative)) {
                    EXPECT_EQ(o.exitCode, 1) << where.toStdString();
                    EXPECT_TRUE(o.err.contains(relative.mid(4, 4))) << where.toStdString() << ": " << o.err.toStdString();
                }
                codes.append(o.cell());
                if (o.exitCode != 0 && !o.err.isEmpty())
                    row.notes.append(QStringLiteral("%1: %2").arg(where, FirstLine(o.err)));
            }
            EXPECT_EQ(FolderSnapshot(deployment.exeDir()), before) << row.file.toStdString() << ' ' << damage.name;
            row.cells.append(codes.join(u'/'));
        }
        rows.append(row);
    }

    // The web-site definitions belong to the window; the calculator must not need them.
    {
        TempDeployment deployment;
        deployment.copySampleDeployment();
        deployment.remove(QStringLiteral("status/WebDataDef.ini"));
        Row row;
        row.file = QStringLiteral("status/WebDataDef.ini");
        const Outcome o = RunCalc(deployment.exeDir(), QStringLiteral("package"));
        ExpectSound(o, QStringLiteral("WebDataDef.ini missing"));
        EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
        row.cells = {o.cell()};
        rows.append(row);
    }
    PrintMatrix(rows);
    std::cout << "\nmessages:\n";
    for (const Row& row : rows)
        for (const QString& note : row.notes)
            std::cout << "  " << note.toStdString() << '\n';
}

} // namespace
