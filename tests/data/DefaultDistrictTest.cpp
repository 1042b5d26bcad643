#include "data/DefaultDistrict.h"
#include "data/Error.h"
#include "data/IniFile.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

using namespace velmora::data;
using velmora::test::TempDeployment;

namespace {

const QString Da01 = QStringLiteral("地区名\r\n北勢\r\n中勢\r\n伊賀\r\nTsu-Shi\r\n南勢\r\n");

class DefaultDistrictTest : public ::testing::Test
{
protected:
    TempDeployment dep;

    QStringList districts()
    {
        dep.writeWorking(QStringLiteral("DA01.dat"), Da01);
        return LoadDistrictList();
    }
};

TEST_F(DefaultDistrictTest, ListDropsTheHeadingAndFallsBackToTheFourthDistrict)
{
    const QStringList list = districts();
    EXPECT_EQ(list, (QStringList{QStringLiteral("北勢"), QStringLiteral("中勢"), QStringLiteral("伊賀"),
                                 QStringLiteral("Tsu-Shi"), QStringLiteral("南勢")}));
    EXPECT_FALSE(ReadSavedDistrict().has_value());
    EXPECT_EQ(ChooseDistrictIndex(list, ReadSavedDistrict()), 3);

    // Unknown, empty or missing key: the fallback as well.
    EXPECT_EQ(ChooseDistrictIndex(list, QStringLiteral("東紀州")), 3);
    dep.writeIni(QStringLiteral("F_chiku.ini"), QStringLiteral("[Velmora]\r\nother=1\r\n"));
    ASSERT_TRUE(ReadSavedDistrict().has_value());
    EXPECT_TRUE(ReadSavedDistrict()->isEmpty());
    EXPECT_EQ(ChooseDistrictIndex(list, ReadSavedDistrict()), 3);

    // Too short a list for the fallback selects nothing.
    EXPECT_EQ(ChooseDistrictIndex(list.mid(0, 3), std::nullopt), -1);
    EXPECT_EQ(ChooseDistrictIndex(list.mid(0, 3), QStringLiteral("中勢")), 1);

    dep.remove(QStringLiteral("dat/DA01.dat"));
    EXPECT_THROW(LoadDistrictList(), velmora::FileOpenError);
}

TEST_F(DefaultDistrictTest, SavedDistrictMatchesWholeTextWithoutCaseFirstMatchWins)
{
    QStringList list = districts();
    list << QStringLiteral("Kuwana-Shi") << QStringLiteral("KUWANA-SHI");
    dep.writeIni(QStringLiteral("F_chiku.ini"), QStringLiteral("[velmora]\r\n地区 = kuwana-shi\r\n"));
    EXPECT_EQ(ChooseDistrictIndex(list, ReadSavedDistrict()), 5);
    EXPECT_EQ(ChooseDistrictIndex(list, QStringLiteral("Kuwana")), 3); // no partial match: the fallback
    EXPECT_EQ(ChooseDistrictIndex(list, QStringLiteral("南勢")), 4);
}

TEST_F(DefaultDistrictTest, SaveThenRestartSelectsTheSavedDistrictInANewCp932File)
{
    const QStringList list = districts();
    SaveDefaultDistrict(dep.exeDir(), list.at(4));
    const QByteArray bytes = dep.readBytes(QStringLiteral("F_chiku.ini"));
    EXPECT_EQ(bytes, EncodeCp932(QStringLiteral("[Velmora]\r\n地区=南勢\r\n\r\n")));
    EXPECT_EQ(ChooseDistrictIndex(list, ReadSavedDistrict()), 4);

    // Nothing selected: an empty value, and the next start falls back.
    SaveDefaultDistrict(dep.exeDir(), QString());
    EXPECT_EQ(ReadSavedDistrict(), QString());
    EXPECT_EQ(ChooseDistrictIndex(list, ReadSavedDistrict()), 3);
}

TEST_F(DefaultDistrictTest, SaveKeepsOtherSectionsKeysAndTheFilesEncoding)
{
    const QString old = QStringLiteral("; comment goes\r\n[表示]\r\n幅=800\r\n\r\n[Velmora]\r\nfirst=1\r\n地区=北勢\r\nlast=2\r\n");
    for (IniEncoding encoding : {IniEncoding::Cp932, IniEncoding::Utf8Bom, IniEncoding::Utf16LeBom, IniEncoding::Utf16BeBom}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        dep.writeIni(QStringLiteral("F_chiku.ini"), old, encoding);
        SaveDefaultDistrict(dep.exeDir(), QStringLiteral("伊賀"));
        const IniFile expected = IniFile::fromBytes(
            EncodeCp932(QStringLiteral("[表示]\r\n幅=800\r\n\r\n[Velmora]\r\nfirst=1\r\n地区=伊賀\r\nlast=2\r\n\r\n")));
        EXPECT_EQ(dep.readBytes(QStringLiteral("F_chiku.ini")), expected.encode(encoding));
    }
}

TEST_F(DefaultDistrictTest, TextThatCp932CannotHoldIsSavedWholeInUtf8)
{
    const QString name = QStringLiteral("伊賀😀");
    SaveDefaultDistrict(dep.exeDir(), name);
    EXPECT_TRUE(dep.readBytes(QStringLiteral("F_chiku.ini")).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(ReadSavedDistrict(), name);
}

TEST_F(DefaultDistrictTest, FailedSaveNamesThePathAndLeavesTheOldFile)
{
    const QString missingDir = dep.exeDir() + QStringLiteral("gone/");
    try {
        SaveDefaultDistrict(missingDir, QStringLiteral("伊賀"));
        FAIL() << "no error";
    } catch (const velmora::Error& e) {
        EXPECT_TRUE(e.message().contains(missingDir + QStringLiteral("F_chiku.ini"))) << e.what();
    }

    // A folder where the file should be is neither read nor replaced.
    dep.writeBytes(QStringLiteral("F_chiku.ini/keep"), "x");
    EXPECT_THROW(SaveDefaultDistrict(dep.exeDir(), QStringLiteral("伊賀")), velmora::Error);
    EXPECT_EQ(dep.readBytes(QStringLiteral("F_chiku.ini/keep")), QByteArray("x"));
    EXPECT_FALSE(ReadSavedDistrict().has_value());
}

} // namespace
