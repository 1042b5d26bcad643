#include "app/CQuillonVersionIniManager.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

using velmora::test::TempDeployment;

namespace {

TEST(CQuillonVersionIniManager, LabelsComeFromTheLastSixCharactersOfNameAndFromVer)
{
    TempDeployment dep;
    dep.writeIni(QStringLiteral("chk_verup/version.ini"),
                 QStringLiteral("[Version]\r\nname=VelmoraPro_201412\r\nver = 2.3\r\n"));
    const CQuillonVersionIniManager labels;
    EXPECT_EQ(labels.EditionText(), QStringLiteral("2014年12月版"));
    EXPECT_EQ(labels.VersionText(), QStringLiteral("Ver.2.3 Pro"));
    EXPECT_EQ(labels.ExplainText(), QStringLiteral("本ツールは2014年12月版です。"));

    dep.writeIni(QStringLiteral("chk_verup/version.ini"), QStringLiteral("[version]\r\nname=別の版201412\r\n"));
    EXPECT_EQ(CQuillonVersionIniManager().EditionText(), QStringLiteral("2014年12月版"));
}

TEST(CQuillonVersionIniManager, MissingFileOrShortNameGivesTheFixedWords)
{
    TempDeployment dep;
    const CQuillonVersionIniManager none;
    EXPECT_EQ(none.EditionText(), QStringLiteral("年月版"));
    EXPECT_EQ(none.VersionText(), QStringLiteral("Ver. Pro"));
    EXPECT_EQ(none.ExplainText(), QStringLiteral("本ツールは年月版です。"));

    dep.writeIni(QStringLiteral("chk_verup/version.ini"), QStringLiteral("[version]\r\nname=2015\r\n"), velmora::data::IniEncoding::Utf8Bom);
    EXPECT_EQ(CQuillonVersionIniManager().EditionText(), QStringLiteral("2015年月版"));
    dep.writeIni(QStringLiteral("chk_verup/version.ini"), QStringLiteral("[version]\r\nname=20155\r\n"));
    EXPECT_EQ(CQuillonVersionIniManager().EditionText(), QStringLiteral("2015年5月版"));
}

} // namespace
