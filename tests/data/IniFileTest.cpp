#include "data/IniFile.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

using namespace velmora::data;
using velmora::test::TempDeployment;

namespace {

const QString Sample = QStringLiteral(
    "top=ignored before any section\r\n"
    "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n"
    "  1  \r\n"
    "; comment\r\n"
    "\r\n"
    "1.13\n"
    "[Paths]\r"
    "  Dir  =  C:\\Velmora\\dat  \r\n"
    "url=https://example.jp/?a=1&b=2\r\n"
    "dir=second occurrence\r\n"
    "[Empty]\r\n"
    "; nothing but a comment\r\n"
    "[paths]\r\n"
    "late=repeated section adds nothing\r\n"
    "[記号]\r\n"
    "①=～\r\n");

void expectSample(const IniFile& ini)
{
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(ini.sectionLines(QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量")), (QStringList{QStringLiteral("1"), QStringLiteral("1.13")}));
    EXPECT_EQ(ini.value(QStringLiteral("PATHS"), QStringLiteral("dir")), QStringLiteral("C:\\Velmora\\dat"));
    EXPECT_EQ(ini.value(QStringLiteral("Paths"), QStringLiteral("URL")), QStringLiteral("https://example.jp/?a=1&b=2"));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Paths"), QStringLiteral("late")));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Paths"), QStringLiteral("top")));
    EXPECT_EQ(ini.value(QStringLiteral("記号"), QStringLiteral("①")), QStringLiteral("～"));
    EXPECT_FALSE(ini.hasSection(QStringLiteral("Empty")));
    EXPECT_TRUE(ini.hasSection(QStringLiteral("paths")));
    EXPECT_EQ(ini.value(QStringLiteral("Empty"), QStringLiteral("x"), QStringLiteral("fallback")), QStringLiteral("fallback"));
}

TEST(IniFile, ReadsTheSameContentInEveryEncoding)
{
    TempDeployment dep;
    for (IniEncoding encoding : {IniEncoding::Cp932, IniEncoding::Utf8Bom, IniEncoding::Utf16LeBom, IniEncoding::Utf16BeBom, IniEncoding::Utf8}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        dep.writeIni(QStringLiteral("x.ini"), Sample, encoding);
        const IniFile ini = IniFile::load(dep.path(QStringLiteral("x.ini")));
        EXPECT_EQ(ini.encoding(), encoding);
        expectSample(ini);
    }
}

TEST(IniFile, Cp932KeepsBackslashesAndVendorCharacters)
{
    // 0x5C is a backslash in file paths, 0x87 0x40 the circled one, 0x81 0x60 the wave dash of Windows.
    EXPECT_EQ(DecodeCp932(QByteArray("C:\\a\x87\x40\x81\x60\xB1", 9)), QStringLiteral("C:\\a①～ｱ"));
    EXPECT_EQ(EncodeCp932(QStringLiteral("C:\\a①～ｱ")), QByteArray("C:\\a\x87\x40\x81\x60\xB1", 9));
}

TEST(IniFile, MissingFilesAndFoldersReadAsEmpty)
{
    TempDeployment dep;
    const IniFile missing = IniFile::load(dep.path(QStringLiteral("none.ini")));
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.value(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(IniFile::load(dep.dataDir()).exists());
}

TEST(IniFile, AlwaysUtf16LeReadsAFileWithoutMark)
{
    const QByteArray bytes = TempDeployment::utf16le(QStringLiteral("[歩掛]\r\nk=値\r\n"));
    EXPECT_EQ(IniFile::fromBytes(bytes, IniFile::Decode::AlwaysUtf16Le).value(QStringLiteral("歩掛"), QStringLiteral("k")), QStringLiteral("値"));
    EXPECT_EQ(IniFile::fromBytes(QByteArray("\xFF\xFE", 2) + bytes, IniFile::Decode::AlwaysUtf16Le).value(QStringLiteral("歩掛"), QStringLiteral("k")),
              QStringLiteral("値"));
}

TEST(IniFile, SetValueReplacesInPlaceOrAppendsAndTextUsesCrLf)
{
    IniFile ini = IniFile::fromBytes(EncodeCp932(QStringLiteral("[A]\r\nKey = old\r\nlist line\r\n")));
    ini.setValue(QStringLiteral("a"), QStringLiteral("key"), QStringLiteral("new=value"));
    ini.setValue(QStringLiteral("A"), QStringLiteral("added"), QString());
    ini.setValue(QStringLiteral("B"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(ini.text(), QStringLiteral("[A]\r\nKey=new=value\r\nlist line\r\nadded=\r\n\r\n[B]\r\nk=v\r\n\r\n"));
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("KEY")), QStringLiteral("new=value"));
}

TEST(IniFile, SaveRoundTripsEachEncodingAndReportsFailure)
{
    TempDeployment dep;
    for (IniEncoding encoding : {IniEncoding::Cp932, IniEncoding::Utf8Bom, IniEncoding::Utf16LeBom, IniEncoding::Utf16BeBom, IniEncoding::Utf8}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        dep.writeIni(QStringLiteral("x.ini"), Sample, encoding);
        IniFile ini = IniFile::load(dep.path(QStringLiteral("x.ini")));
        ini.setValue(QStringLiteral("新"), QStringLiteral("ｷｰ"), QStringLiteral("値"));
        QString error;
        ASSERT_TRUE(ini.save(dep.path(QStringLiteral("x.ini")), &error)) << error.toStdString();
        const IniFile back = IniFile::load(dep.path(QStringLiteral("x.ini")));
        EXPECT_EQ(back.encoding(), encoding);
        expectSample(back);
        EXPECT_EQ(back.value(QStringLiteral("新"), QStringLiteral("ｷｰ")), QStringLiteral("値"));
    }

    IniFile fresh;
    fresh.setValue(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("地区"));
    QString error;
    ASSERT_TRUE(fresh.save(dep.path(QStringLiteral("new.ini")), &error));
    EXPECT_EQ(dep.readBytes(QStringLiteral("new.ini")), EncodeCp932(QStringLiteral("[S]\r\nk=地区\r\n\r\n")));

    const QString impossible = dep.path(QStringLiteral("no/such/dir/x.ini"));
    EXPECT_FALSE(fresh.save(impossible, &error));
    EXPECT_TRUE(error.contains(impossible)) << error.toStdString();
}

} // namespace
