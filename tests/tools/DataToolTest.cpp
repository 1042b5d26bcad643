// The data tool as the build and the data maintainers run it: a separate
// process, judged by its exit status, its messages and the files it leaves.

#include "data/CEnDecryption.h"
#include "data/FindDataFileName.h"
#include "data/IniFile.h"
#include "data/TextFiles.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using velmora::data::IniEncoding;
using velmora::data::IniFile;
using velmora::test::TempDeployment;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString err;
};

class DataToolTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    ToolRun tool(const QStringList& args) const
    {
        QProcess p;
        p.start(QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-datatool"), args);
        EXPECT_TRUE(p.waitForFinished(30000)) << "velmora-datatool did not finish";
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
    }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Text as the maintainers write it: Japanese with half-width katakana,
    // the half-width middle dot and a full-width symbol, LF line breaks.
    static QString sampleText()
    {
        return QStringLiteral("[処分費目]\n鉄筋ｺﾝｸﾘｰﾄ塊\nｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし\n数量×1.37\n");
    }
};

TEST_F(DataToolTest, ScramblingTwiceRestoresAnyFileAndTheProgramDecodesTheResult)
{
    QByteArray bytes;
    for (int i = 0; i < 1001; ++i) // odd length: the last byte has no partner
        bytes.append(static_cast<char>((i * 37 + 11) & 0xFF));
    write(QStringLiteral("plain.bin"), bytes);

    ASSERT_EQ(tool({QStringLiteral("scramble"), path(QStringLiteral("plain.bin")), path(QStringLiteral("once.bin"))}).exitCode, 0);
    ASSERT_EQ(tool({QStringLiteral("unscramble"), path(QStringLiteral("once.bin")), path(QStringLiteral("twice.bin"))}).exitCode, 0);
    EXPECT_NE(read(QStringLiteral("once.bin")), bytes);
    EXPECT_EQ(read(QStringLiteral("twice.bin")), bytes);

    // In place, as a maintainer re-scrambling an edited table would do it.
    ASSERT_EQ(tool({QStringLiteral("scramble"), path(QStringLiteral("plain.bin")), path(QStringLiteral("plain.bin"))}).exitCode, 0);
    EXPECT_EQ(read(QStringLiteral("plain.bin")), read(QStringLiteral("once.bin")));

    // What the tool ships, the program's start-up decoding turns back into text.
    write(QStringLiteral("districts.txt"), QStringLiteral("# note\n地区\n桑名\n津\n").toUtf8());
    TempDeployment dep;
    ASSERT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("utf16le-scrambled"), QStringLiteral("--strip-comments"),
                    QStringLiteral("#"), path(QStringLiteral("districts.txt")), dep.dataDir() + QStringLiteral("EA01.dat")})
                  .exitCode,
              0);
    CEnDecryption decoder;
    decoder.DecryptDataFiles();
    const QString working = FindDataFileName(QStringLiteral("DA01"), dep.dataDir());
    ASSERT_EQ(working, QStringLiteral("DA01.dat"));
    EXPECT_EQ(velmora::data::ReadLineFile(dep.dataDir() + working),
              (QStringList{QStringLiteral("地区"), QStringLiteral("桑名"), QStringLiteral("津")}));
}

TEST_F(DataToolTest, TheFileRoutineTransformsInPlaceWithoutLosingTheFile)
{
    const QByteArray bytes("\x11\x22\x33\x44\x55", 5);
    write(QStringLiteral("table.dat"), bytes);
    QString error;
    ASSERT_TRUE(CEnDecryption::TransformFile(path(QStringLiteral("table.dat")), path(QStringLiteral("table.dat")), &error))
        << error.toStdString();
    EXPECT_EQ(read(QStringLiteral("table.dat")), CEnDecryption::Transform(bytes));
    ASSERT_TRUE(CEnDecryption::TransformFile(path(QStringLiteral("table.dat")), path(QStringLiteral("table.dat"))));
    EXPECT_EQ(read(QStringLiteral("table.dat")), bytes);

    EXPECT_FALSE(CEnDecryption::TransformFile(path(QStringLiteral("absent.dat")), path(QStringLiteral("out.dat")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out.dat"))));
}

TEST_F(DataToolTest, EveryEncodingRoundTripsAndTheIniReaderReadsWhatIsShipped)
{
    write(QStringLiteral("source.txt"), QByteArray("\xEF\xBB\xBF") + sampleText().toUtf8());
    struct Case
    {
        const char* encoding;
        QByteArray mark;
    };
    const Case cases[] = {
        {"utf16le", QByteArray()},
        {"utf16le-bom", QByteArray("\xFF\xFE", 2)},
        {"utf16le-scrambled", QByteArray()},
        {"utf16be-bom", QByteArray("\xFE\xFF", 2)},
        {"cp932", QByteArray()},
        {"utf8-bom", QByteArray("\xEF\xBB\xBF")},
        {"utf8", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding);
        const QString enc = QString::fromLatin1(c.encoding);
        const QString shipped = QStringLiteral("shipped-") + enc;
        ASSERT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), enc, path(QStringLiteral("source.txt")), path(shipped)}).exitCode, 0);
        const QByteArray bytes = read(shipped);
        if (!c.mark.isEmpty())
            EXPECT_TRUE(bytes.startsWith(c.mark));
        else
            EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"));

        ASSERT_EQ(tool({QStringLiteral("decode"), QStringLiteral("--from"), enc, path(shipped), path(shipped + QStringLiteral(".txt"))}).exitCode, 0);
        EXPECT_EQ(QString::fromUtf8(read(shipped + QStringLiteral(".txt"))), sampleText());
    }

    // The shipped line breaks are CR LF, and the program's readers see the
    // entries exactly: the mark-less CP932 file included.
    const QByteArray cp932 = read(QStringLiteral("shipped-cp932"));
    EXPECT_EQ(cp932, velmora::data::EncodeCp932(QString(sampleText()).replace(QStringLiteral("\n"), QStringLiteral("\r\n"))));
    const QStringList entries = {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"), QStringLiteral("数量×1.37")};
    for (const char* name : {"shipped-cp932", "shipped-utf16le-bom", "shipped-utf8-bom", "shipped-utf16be-bom"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IniFile::load(path(QString::fromLatin1(name))).sectionLines(QStringLiteral("処分費目")), entries);
    }
    EXPECT_EQ(IniFile::load(path(QStringLiteral("shipped-utf16le")), IniFile::Decode::AlwaysUtf16Le).sectionLines(QStringLiteral("処分費目")), entries);
}

TEST_F(DataToolTest, DecodeFindsTheEncodingFromTheMarkOrTheFileName)
{
    const QString text = QStringLiteral("見出し\n値ｱ\n");
    write(QStringLiteral("source.txt"), text.toUtf8());
    struct Case
    {
        const char* encoding;
        const char* shippedName;
    };
    // No --from: a scrambled key in the name, a working key, a mark, or else CP932.
    const Case cases[] = {
        {"utf16le-scrambled", "ET19_sample.dat"},
        {"utf16le", "DT19.dat"},
        {"utf16le-bom", "list.ini"},
        {"utf8-bom", "defs.ini"},
        {"cp932", "Himoku_RowSource.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shippedName);
        const QString shipped = QString::fromLatin1(c.shippedName);
        ASSERT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QString::fromLatin1(c.encoding), path(QStringLiteral("source.txt")), path(shipped)}).exitCode, 0);
        ASSERT_EQ(tool({QStringLiteral("decode"), path(shipped), path(shipped + QStringLiteral(".txt"))}).exitCode, 0);
        EXPECT_EQ(QString::fromUtf8(read(shipped + QStringLiteral(".txt"))), text);
    }
}

TEST_F(DataToolTest, CommentLinesAreLeftOutAndLineBreaksShipAsCrLf)
{
    write(QStringLiteral("table.txt"), QByteArray("# maintainer's note\r\nhead\n\n# another\nrow,1\r# last\nrow,2"));
    ASSERT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("utf8"), QStringLiteral("--strip-comments"), QStringLiteral("#"),
                    path(QStringLiteral("table.txt")), path(QStringLiteral("out.txt"))})
                  .exitCode,
              0);
    // The empty line stays: it ends a group in the package table.
    EXPECT_EQ(read(QStringLiteral("out.txt")), QByteArray("head\r\n\r\nrow,1\r\nrow,2"));

    // Without the option a '#' line is data like any other.
    ASSERT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("utf8"), path(QStringLiteral("table.txt")), path(QStringLiteral("all.txt"))}).exitCode, 0);
    EXPECT_TRUE(read(QStringLiteral("all.txt")).startsWith("# maintainer's note\r\nhead\r\n"));
}

TEST_F(DataToolTest, TextThatCannotBeShippedFailsWithAMessageAndWritesNothing)
{
    // The euro sign has no CP932 form; shipping a substitute would change a list entry.
    write(QStringLiteral("euro.txt"), QStringLiteral("[x]\nok\n単価€\n").toUtf8());
    ToolRun r = tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("cp932"), path(QStringLiteral("euro.txt")), path(QStringLiteral("euro.ini"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("3 行 3 文字目"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("euro.ini"))));

    // An earlier good file is not replaced by a failed run either.
    write(QStringLiteral("target.ini"), QByteArray("old"));
    EXPECT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("cp932"), path(QStringLiteral("euro.txt")), path(QStringLiteral("target.ini"))}).exitCode, 1);
    EXPECT_EQ(read(QStringLiteral("target.ini")), QByteArray("old"));

    write(QStringLiteral("latin1.txt"), QByteArray("caf\xE9\n"));
    EXPECT_EQ(tool({QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("utf16le"), path(QStringLiteral("latin1.txt")), path(QStringLiteral("x"))}).exitCode, 1);

    // Bytes that are not text of the stated encoding are refused on decode.
    write(QStringLiteral("odd.dat"), QByteArray("abc"));
    EXPECT_EQ(tool({QStringLiteral("decode"), QStringLiteral("--from"), QStringLiteral("utf16le"), path(QStringLiteral("odd.dat")), path(QStringLiteral("o.txt"))}).exitCode, 1);
    write(QStringLiteral("bad.ini"), QByteArray("\x81\x20\x80"));
    EXPECT_EQ(tool({QStringLiteral("decode"), path(QStringLiteral("bad.ini")), path(QStringLiteral("b.txt"))}).exitCode, 1);
    write(QStringLiteral("lone.dat"), QByteArray("\x00\xD8", 2)); // a high surrogate alone
    EXPECT_EQ(tool({QStringLiteral("decode"), QStringLiteral("--from"), QStringLiteral("utf16le"), path(QStringLiteral("lone.dat")), path(QStringLiteral("l.txt"))}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("o.txt"))));

    r = tool({QStringLiteral("scramble"), path(QStringLiteral("missing.dat")), path(QStringLiteral("m.dat"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("missing.dat")));
    EXPECT_EQ(tool({QStringLiteral("scramble"), dir.path(), path(QStringLiteral("m.dat"))}).exitCode, 1);
}

TEST_F(DataToolTest, WrongArgumentsExitWithTwoAndSayHowToGetHelp)
{
    write(QStringLiteral("in.txt"), QByteArray("x\n"));
    const QString in = path(QStringLiteral("in.txt"));
    const QString out = path(QStringLiteral("out"));
    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("frobnicate"), in, out},
        {QStringLiteral("scramble"), in},
        {QStringLiteral("scramble"), in, out, out},
        {QStringLiteral("encode"), in, out},
        {QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("latin1"), in, out},
        {QStringLiteral("encode"), QStringLiteral("--to"), QStringLiteral("cp932"), QStringLiteral("--strip-comments"), QString(), in, out},
        {QStringLiteral("encode"), QStringLiteral("--to")},
        {QStringLiteral("decode"), QStringLiteral("--from"), QStringLiteral("ebcdic"), in, out},
        {QStringLiteral("decode"), QStringLiteral("--to"), QStringLiteral("cp932"), in, out},
        {QStringLiteral("scramble"), QStringLiteral("--verbose"), in, out},
    };
    for (const QStringList& args : wrong) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun r = tool(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("help"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));

    QProcess help;
    help.start(QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-datatool"), {QStringLiteral("help")});
    ASSERT_TRUE(help.waitForFinished(30000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString usage = QString::fromUtf8(help.readAllStandardOutput());
    for (const char* word : {"scramble", "encode", "decode", "utf16le-scrambled", "cp932", "utf8-bom"})
        EXPECT_TRUE(usage.contains(QString::fromLatin1(word))) << word;
}

} // namespace

namespace {

// The office's check: clean, warnings only and errors each have their exit
// status, and every finding names its file, line and value.
TEST(DataToolCheck, ExitStatusTellsCleanWarningsAndErrors)
{
    const auto check = [](const QString& deployment) {
        QProcess p;
        p.start(QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-datatool"), {QStringLiteral("check"), deployment});
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()));
    };
    TempDeployment d;
    d.copySampleDeployment();
    EXPECT_EQ(check(d.exeDir()).first, 0) << check(d.exeDir()).second.toStdString();

    // A fuel price with one digit too many is used, but named.
    QString prices = d.readScrambled(QStringLiteral("ET02.dat"));
    d.writeScrambled(QStringLiteral("ET02.dat"), QString(prices).replace(QStringLiteral("\r\n149\r\n"), QStringLiteral("\r\n1490\r\n")));
    auto [warned, warnings] = check(d.exeDir());
    EXPECT_EQ(warned, 3) << warnings.toStdString();
    EXPECT_TRUE(warnings.contains(QStringLiteral("注意: ET02.dat の 5 行目「1490」"))) << warnings.toStdString();
    // So is a list saved as UTF-8 by an editor: read as UTF-8, named.
    const QString list = QStringLiteral("dat/Himoku_RowSource.ini");
    d.writeBytes(list, velmora::data::DecodeCp932(d.readBytes(list)).toUtf8());
    std::tie(warned, warnings) = check(d.exeDir());
    EXPECT_EQ(warned, 3) << warnings.toStdString();
    EXPECT_TRUE(warnings.contains(QStringLiteral("注意: Himoku_RowSource.ini: シフトJIS ではなく UTF-8"))) << warnings.toStdString();

    // A fee with a thousands separator is an error.
    const QString sites = d.readScrambled(QStringLiteral("ET19.dat"));
    d.writeScrambled(QStringLiteral("ET19.dat"), QString(sites).replace(QStringLiteral(",4500,m3,"), QStringLiteral(",4,500,m3,")));
    auto [failed, errors] = check(d.exeDir());
    EXPECT_EQ(failed, 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("誤り: ET19.dat の "))) << errors.toStdString();
}

} // namespace
