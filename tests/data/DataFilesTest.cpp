#include "data/CEnDecryption.h"
#include "data/FindDataFileName.h"
#include "data/Notifier.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>

using velmora::test::TempDeployment;

namespace {

TEST(FindDataFileName, TheTableIsTheFileNamedForTheKeyFoldersNeverCount)
{
    TempDeployment dep;
    QDir(dep.dataDir()).mkdir(QStringLiteral("EA01_old"));
    dep.writeBytes(QStringLiteral("dat/ea01.txt"), "x");
    dep.writeBytes(QStringLiteral("dat/.v2_EA01"), "x");
    EXPECT_TRUE(FindDataFileName(QStringLiteral("EA01"), dep.dataDir()).isEmpty());

    dep.writeBytes(QStringLiteral("dat/EA01_v2"), "x");
    EXPECT_EQ(FindDataFileName(QStringLiteral("EA01"), dep.dataDir()), QStringLiteral("EA01_v2"));
    // Without the trailing separator as well.
    EXPECT_EQ(FindDataFileName(QStringLiteral("EA01"), dep.exeDir() + QStringLiteral("dat")), QStringLiteral("EA01_v2"));
    EXPECT_TRUE(FindDataFileName(QStringLiteral("EA01"), dep.path(QStringLiteral("nowhere"))).isEmpty());
    // "<key>.dat" in any case wins over every other name that starts with the key.
    dep.writeBytes(QStringLiteral("dat/ea01.DAT"), "x");
    EXPECT_EQ(FindDataFileName(QStringLiteral("EA01"), dep.dataDir()), QStringLiteral("ea01.DAT"));
}

// The file system's listing order is no order at all: a backup beside a table
// must never be read in its place, whatever order the files were made in.
TEST(FindDataFileName, TheTableWinsOverTheCopiesBesideIt)
{
    TempDeployment dep;
    const QStringList made = {QStringLiteral("ET19 - コピー.dat"), QStringLiteral("ET19_bak.dat"), QStringLiteral("bak_ET19.dat"),
                              QStringLiteral("ET19.dat.bak"), QStringLiteral("ET19_R6.dat"), QStringLiteral("2024_ET19.dat")};
    for (const QString& name : made)
        dep.writeBytes(QStringLiteral("dat/") + name, "x");
    EXPECT_EQ(FindDataFileName(QStringLiteral("ET19"), dep.dataDir()), QStringLiteral("ET19.dat.bak"));
    dep.writeBytes(QStringLiteral("dat/ET19.dat"), "x");
    EXPECT_EQ(FindDataFileName(QStringLiteral("ET19"), dep.dataDir()), QStringLiteral("ET19.dat"));
    EXPECT_EQ(velmora::data::DataFilesHolding(QStringLiteral("ET19"), dep.dataDir()),
              (QStringList{QStringLiteral("2024_ET19.dat"), QStringLiteral("bak_ET19.dat"), QStringLiteral("ET19.dat"),
                           QStringLiteral("ET19.dat.bak"), QStringLiteral("ET19 - コピー.dat"), QStringLiteral("ET19_bak.dat"),
                           QStringLiteral("ET19_R6.dat")}));

    // Letters compare as upper case, so they come before "_" as in a Windows folder.
    using velmora::data::DataFileNameLess;
    EXPECT_TRUE(DataFileNameLess(QStringLiteral("et19a"), QStringLiteral("ET19_")));
    EXPECT_FALSE(DataFileNameLess(QStringLiteral("ET19b"), QStringLiteral("et19A")));
    EXPECT_TRUE(DataFileNameLess(QStringLiteral("ET19"), QStringLiteral("et19")));
    EXPECT_FALSE(DataFileNameLess(QStringLiteral("ET19"), QStringLiteral("ET19")));
}

TEST(CEnDecryption, OnlyTheFirstByteOfEachUnitChangesByAGrowingKey)
{
    constexpr unsigned S = CEnDecryption::SeedByte;
    constexpr unsigned T = CEnDecryption::StepByte;
    const QByteArray in("\x10\x20\x30\x40\x50", 5);
    const QByteArray out = CEnDecryption::Transform(in);
    ASSERT_EQ(out.size(), 5);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x10 ^ ((S + T) & 0xFF));
    EXPECT_EQ(out[1], in[1]);
    EXPECT_EQ(static_cast<unsigned char>(out[2]), 0x30 ^ ((S + 3 * T) & 0xFF));
    EXPECT_EQ(out[3], in[3]);
    EXPECT_EQ(static_cast<unsigned char>(out[4]), 0x50 ^ ((S + 6 * T) & 0xFF)); // odd last byte: first of unit 3
    EXPECT_EQ(CEnDecryption::Transform(out), in);

    // Far into a file the key still follows seed + step × n(n+1)/2.
    QByteArray big(200000, '\0');
    const QByteArray key = CEnDecryption::Transform(big);
    const quint64 n = 100000;
    EXPECT_EQ(static_cast<unsigned char>(key[static_cast<qsizetype>(2 * (n - 1))]), (S + T * (n * (n + 1) / 2)) & 0xFF);
}

class DecodingTest : public ::testing::Test
{
protected:
    TempDeployment dep;
};

TEST_F(DecodingTest, DecodesEveryShippedTableAndDeletesOnlyTheWorkingFiles)
{
    dep.writeScrambled(QStringLiteral("EA01.txt"), QStringLiteral("地区\r\n北勢\r\n"));
    dep.writeScrambled(QStringLiteral("ET19_2024.txt"), QStringLiteral("a,b"));
    dep.writeBytes(QStringLiteral("dat/EC01"), QByteArray());
    // Left from an interrupted run, longer than what it will hold.
    dep.writeBytes(QStringLiteral("dat/DA01.dat"), QByteArray(1000, 'x'));
    dep.writeIni(QStringLiteral("dat/Himoku_RowSource.ini"), QStringLiteral("[処分費目]\r\nx\r\n"));
    const QStringList shipped = {QStringLiteral("EA01.txt"), QStringLiteral("EC01"), QStringLiteral("ET19_2024.txt"),
                                 QStringLiteral("Himoku_RowSource.ini")};
    {
        CEnDecryption decoder;
        decoder.DecryptDataFiles();
        // Working files are named for their key, whatever the shipped name.
        EXPECT_EQ(decoder.WorkFiles(), (QStringList{dep.dataDir() + QStringLiteral("DA01.dat"), dep.dataDir() + QStringLiteral("DT19.dat"),
                                                    dep.dataDir() + QStringLiteral("DC01.dat")}));
        EXPECT_EQ(dep.readBytes(QStringLiteral("dat/DA01.dat")), TempDeployment::utf16le(QStringLiteral("地区\r\n北勢\r\n")));
        EXPECT_EQ(dep.readBytes(QStringLiteral("dat/DT19.dat")), TempDeployment::utf16le(QStringLiteral("a,b")));
        EXPECT_TRUE(dep.exists(QStringLiteral("dat/DC01.dat")));
        EXPECT_TRUE(dep.readBytes(QStringLiteral("dat/DC01.dat")).isEmpty());

        decoder.DeleteWorkFiles();
        EXPECT_EQ(dep.dataFiles(), shipped);
        decoder.DeleteWorkFiles();
        EXPECT_EQ(dep.dataFiles(), shipped);
    }
    EXPECT_EQ(dep.dataFiles(), shipped);
}

TEST_F(DecodingTest, TwoFilesWithOneKeyGiveOneWorkingFileAndTheDestructorCleansUp)
{
    velmora::data::takeDeferred();
    dep.writeScrambled(QStringLiteral("ES22_b"), QStringLiteral("2"));
    dep.writeScrambled(QStringLiteral("ES22_a"), QStringLiteral("1"));
    {
        CEnDecryption decoder;
        decoder.DecryptDataFiles();
        EXPECT_EQ(decoder.WorkFiles(), QStringList{dep.dataDir() + QStringLiteral("DS22.dat")});
        EXPECT_EQ(dep.dataFiles().size(), 3);
    }
    // Told once, as a notice: the figures stand on the file that was read.
    const std::vector<velmora::data::DeferredWarning> deferred = velmora::data::takeDeferred();
    ASSERT_EQ(deferred.size(), 1u);
    EXPECT_EQ(deferred[0].kind, velmora::data::Deferral::Notice);
    EXPECT_EQ(deferred[0].text, QStringLiteral("データフォルダに ES22 のファイルが 2 つあります。ES22_a を使い、ES22_b は読みません。"));
    EXPECT_EQ(dep.dataFiles(), (QStringList{QStringLiteral("ES22_a"), QStringLiteral("ES22_b")}));
}

TEST_F(DecodingTest, AStaleFileTheReadersWouldTakeInsteadOfTheWorkingFileIsAGap)
{
    velmora::data::takeDeferred();
    dep.writeScrambled(QStringLiteral("ES22.dat"), QStringLiteral("2"));
    dep.writeBytes(QStringLiteral("dat/DS22.DAT"), "old"); // sorts before "DS22.dat"
    CEnDecryption decoder;
    decoder.DecryptDataFiles();
    const std::vector<velmora::data::DeferredWarning> deferred = velmora::data::takeDeferred();
    ASSERT_EQ(deferred.size(), 1u);
    EXPECT_EQ(deferred[0].kind, velmora::data::Deferral::Gap);
    EXPECT_TRUE(deferred[0].text.contains(QStringLiteral("作業ファイル DS22.dat を読めません。データフォルダにある DS22.DAT")));
}

TEST_F(DecodingTest, MissingSourceRegistersNothingAndAnUncreatableWorkingFileIsReported)
{
    velmora::data::takeDeferredWarnings();
    CEnDecryption decoder;
    decoder.DecryptFile(dep.dataDir() + QStringLiteral("ER01"));
    decoder.DecryptFile(dep.dataDir()); // the path a failed lookup yields
    EXPECT_TRUE(decoder.WorkFiles().isEmpty());
    EXPECT_TRUE(velmora::data::takeDeferredWarnings().isEmpty());

    dep.writeScrambled(QStringLiteral("ER01"), QStringLiteral("単価\r\n1\r\n"));
    QDir(dep.dataDir()).mkdir(QStringLiteral("DR01.dat")); // nothing can be written there
    decoder.DecryptFile(dep.dataDir() + QStringLiteral("ER01"));
    EXPECT_EQ(decoder.WorkFiles(), QStringList{dep.dataDir() + QStringLiteral("DR01.dat")});
    const QStringList warnings = velmora::data::takeDeferredWarnings();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.first().contains(dep.dataDir() + QStringLiteral("DR01.dat")));
}

} // namespace
