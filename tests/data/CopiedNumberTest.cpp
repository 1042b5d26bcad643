#include "data/CopiedNumber.h"

#include <gtest/gtest.h>

using velmora::data::CopiedNumberKind;
using velmora::data::ReadCopiedNumber;

// The fields' own cases are in the grid's tests; here what they do not reach.
TEST(CopiedNumber, UnitsAndSeparatorsOnlyWhereTheyBelong)
{
    EXPECT_EQ(ReadCopiedNumber(QStringLiteral(" １２．５ ｋｍ\n"), CopiedNumberKind::Distance), QStringLiteral("12.5"));
    EXPECT_EQ(ReadCopiedNumber(QStringLiteral("１，２３４，５６７円"), CopiedNumberKind::Fee), QStringLiteral("1234567"));
    EXPECT_EQ(ReadCopiedNumber(QString(QChar(0x2212)) + QStringLiteral("142037.5"), CopiedNumberKind::Coordinate),
              QStringLiteral("-142037.5"));
    for (const QString& kept : {QStringLiteral("km"), QStringLiteral("4,50"), QStringLiteral("1,2345")})
        EXPECT_EQ(ReadCopiedNumber(kept, CopiedNumberKind::Fee), kept);
    EXPECT_EQ(ReadCopiedNumber(QStringLiteral("12km"), CopiedNumberKind::Coordinate), QStringLiteral("12km"));
}
