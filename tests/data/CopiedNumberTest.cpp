#include "data/CopiedNumber.h"

#include <gtest/gtest.h>

using velmora::data::CopiedNumberKind;
using velmora::data::ReadCopiedNumber;

namespace {

TEST(CopiedNumber, ReadsWhatAnEstimatorCopiesAndLeavesTheRestToTheField)
{
    struct Case
    {
        const char16_t* text;
        CopiedNumberKind kind;
        const char16_t* read;
    };
    const Case cases[] = {
        {u"１２．５", CopiedNumberKind::Distance, u"12.5"},
        {u"12.5km", CopiedNumberKind::Distance, u"12.5"},
        {u" １２．５ ｋｍ\n", CopiedNumberKind::Distance, u"12.5"},
        {u"12.5KM", CopiedNumberKind::Distance, u"12.5"},
        {u"km", CopiedNumberKind::Distance, u"km"},
        {u"4,500円", CopiedNumberKind::Fee, u"4500"},
        {u"１，２３４，５６７円", CopiedNumberKind::Fee, u"1234567"},
        // Separators out of their places, or in a distance, stay for the
        // field to refuse.
        {u"4,50", CopiedNumberKind::Fee, u"4,50"},
        {u"142,037", CopiedNumberKind::Distance, u"142,037"},
        {u"142,037", CopiedNumberKind::Coordinate, u"142,037"},
        {u"12.5km", CopiedNumberKind::Coordinate, u"12.5km"},
        {u"4500円", CopiedNumberKind::Distance, u"4500円"},
        {u"－１４２０３７．５", CopiedNumberKind::Coordinate, u"-142037.5"},
        {u"\u2212142037.5", CopiedNumberKind::Coordinate, u"-142037.5"},
        {u"1e5", CopiedNumberKind::Distance, u"1e5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCopiedNumber(QString::fromUtf16(c.text), c.kind), QString::fromUtf16(c.read))
            << QString::fromUtf16(c.text).toStdString();
}

} // namespace
