#include "data/Error.h"
#include "data/FileErrorText.h"
#include "data/SafeFile.h"
#include "data/TextFiles.h"
#include "support/TempDeployment.h"

#include "TestTexts.h"

#include <gtest/gtest.h>

using namespace velmora::data;
using velmora::test::TempDeployment;

using velmora::test::L;

namespace {

TEST(ReadLineFile, SplitsAtEveryKindOfLineBreakAndSkipsTheMark)
{
    TempDeployment dep;
    dep.writeWorking(QStringLiteral("DA01"), QStringLiteral("地区\r\n北勢\r中勢\n\r\n伊賀"));
    EXPECT_EQ(ReadLineFile(dep.dataDir() + QStringLiteral("DA01")), L({u"地区", u"北勢", u"中勢", u"", u"伊賀"}));

    dep.writeBytes(QStringLiteral("dat/DT02"), QByteArray("\xFF\xFE", 2) + TempDeployment::utf16le(QStringLiteral("h\r\n1\r\n")) + "x");
    EXPECT_EQ(ReadLineFile(dep.dataDir() + QStringLiteral("DT02")), L({u"h", u"1"})); // odd last byte ignored

    dep.writeWorking(QStringLiteral("empty"), QString());
    EXPECT_TRUE(ReadLineFile(dep.dataDir() + QStringLiteral("empty")).isEmpty());
    dep.writeWorking(QStringLiteral("one"), QStringLiteral("\r\n"));
    EXPECT_EQ(ReadLineFile(dep.dataDir() + QStringLiteral("one")), L({u""}));
}

TEST(ReadLineFile, OpenFailureNamesThePath)
{
    TempDeployment dep;
    const QString missing = dep.dataDir() + QStringLiteral("DR01");
    try {
        ReadLineFile(missing);
        FAIL() << "no error";
    } catch (const velmora::FileOpenError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("ファイル ") + missing + QStringLiteral(" は開けません。 ")));
        // The reason is the program's own Japanese, not the system's English.
        EXPECT_TRUE(e.message().contains(QStringLiteral("見つかりません"))) << e.what();
    }
    // The data folder itself: what a reader gets when the key was not found.
    EXPECT_THROW(ReadLineFile(dep.dataDir()), velmora::FileOpenError);
}

// The system's reasons for a failed file reach the estimator in Japanese.
TEST(FileErrorText, DiskFullMissingFolderAndUnknownNumbersAreJapanese)
{
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_EQ(full.write("x", 1), -1);
    EXPECT_EQ(FileErrorText(full), QStringLiteral("ディスクの空き容量が不足しています。"));

    TempDeployment dep;
    QString reason;
    EXPECT_FALSE(ReplaceFileContents(dep.dataDir() + QStringLiteral("no/such/file.csv"), "x", &reason));
    EXPECT_EQ(reason, QStringLiteral("ファイルまたはフォルダが見つかりません。"));

    EXPECT_EQ(FileErrorText(QFileDevice::WriteError, 0), QStringLiteral("ファイルに書き込めませんでした。"));
    EXPECT_EQ(FileErrorText(QFileDevice::OpenError, EACCES), QStringLiteral("アクセスが拒否されました（権限がありません）。"));
}

TEST(SplitCommaText, QuotesBlanksAndEmptyFields)
{
    EXPECT_EQ(SplitCommaText(QStringLiteral("1,K01,-12.5,34")), L({u"1", u"K01", u"-12.5", u"34"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("  a , b\t,c")), L({u"a", u"b", u"c"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("a b,c")), L({u"a", u"b", u"c"})); // an unquoted blank ends a field
    EXPECT_EQ(SplitCommaText(QStringLiteral("\"a b\",\"say \"\"hi\"\"\",\"\"")), L({u"a b", u"say \"hi\"", u""}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("\"ab\"cd,e")), L({u"ab", u"cd", u"e"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("a,,b")), L({u"a", u"", u"b"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("a,")), L({u"a", u""}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("a, ")), L({u"a"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral(",a")), L({u"", u"a"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("\"open")), L({u"open"}));
    EXPECT_TRUE(SplitCommaText(QString()).isEmpty());
    EXPECT_TRUE(SplitCommaText(QStringLiteral("   ")).isEmpty());
}

TEST(SplitStrict, EveryCommaSplitsAndNothingIsTrimmed)
{
    EXPECT_EQ(SplitStrict(QStringLiteral(" a ,\"b,c\",")), L({u" a ", u"\"b", u"c\"", u""}));
    EXPECT_EQ(SplitStrict(QStringLiteral(",")), L({u"", u""}));
    EXPECT_EQ(SplitStrict(QStringLiteral(" ")), L({u" "}));
    EXPECT_TRUE(SplitStrict(QString()).isEmpty());
    EXPECT_EQ(SplitStrict(QString(21, u',')).size(), 22);
}

} // namespace
