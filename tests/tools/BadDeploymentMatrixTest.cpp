// Deployments as they turn up on estimators' machines: half-copied, edited by
// hand, saved in the wrong encoding. velmora-calc runs on each, once per
// estimating method, and must end with a status and a message, never with a
// signal or a hang, and leave neither the deployment nor a working file behind.

#include "support/DamagedFiles.h"
#include "support/FolderSnapshot.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>

using velmora::test::ApplyDamage;
using velmora::test::Damage;
using velmora::test::Damages;
using velmora::test::DeploymentIniFiles;
using velmora::test::DeploymentTables;
using velmora::test::FolderSnapshot;
using velmora::test::FormatMatrix;
using velmora::test::MatrixRow;
using velmora::test::TempDeployment;

namespace {

bool IsTable(const QString& relative) { return relative.endsWith(QStringLiteral(".dat")); }

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

struct Row : MatrixRow
{
    QStringList notes;
};

void PrintMatrix(const QList<Row>& rows)
{
    const QList<MatrixRow> table(rows.cbegin(), rows.cend());
    std::cout << FormatMatrix(QStringLiteral("velmora-calc on a damaged deployment (exit status package/labour; 0 figures, "
                                             "1 data error, 2 argument)"),
                              table)
                     .toStdString()
              << std::flush;
}

// The first line of a message, for the notes under the matrix.
QString FirstLine(const QString& err)
{
    return err.section(u'\n', 0, 0).remove(QStringLiteral("velmora-calc: ")).left(70);
}

TEST(BadDeploymentMatrix, VelmoraCalcEndsCleanlyOnEveryDamagedFile)
{
    QList<Row> rows;
    const QStringList files = DeploymentTables() + DeploymentIniFiles();
    for (const QString& relative : files) {
        Row row;
        row.file = relative.mid(4);
        for (const Damage& damage : Damages()) {
            TempDeployment deployment;
            ASSERT_TRUE(deployment.isValid());
            deployment.copySampleDeployment();
            const bool present = ApplyDamage(deployment, relative, damage);
            const auto before = FolderSnapshot(deployment.exeDir());

            QStringList codes;
            for (const QString& method : {QStringLiteral("package"), QStringLiteral("labour")}) {
                const QString where = row.file + u' ' + QString::fromLatin1(damage.name) + u' ' + method;
                const Outcome o = RunCalc(deployment.exeDir(), method);
                ExpectSound(o, where);
                // A file that is not there at all is named, whichever method would read it.
                if (!present) {
                    const QString name = IsTable(relative) ? relative.mid(4, 4) : relative.mid(4);
                    EXPECT_EQ(o.exitCode, 1) << where.toStdString();
                    EXPECT_TRUE(o.err.contains(name)) << where.toStdString() << ": " << o.err.toStdString();
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
