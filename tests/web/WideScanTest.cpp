#include "web/WideScan.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

#include <cwchar>
#include <string>
#include <vector>

using velmora::web::ScanEndOfInput;
using velmora::web::ScanRejected;
using velmora::web::ScanTwoFields;

namespace {

// glibc's swscanf stores "%s" as multibyte text; "%ls" is the wide form the
// patterns mean, so the oracle gets an "l" before every s and [ conversion.
std::wstring OraclePattern(const QString& pattern)
{
    std::wstring out;
    const std::u16string p = pattern.toStdU16String();
    for (size_t i = 0; i < p.size(); ++i) {
        out.push_back(static_cast<wchar_t>(p[i]));
        if (p[i] != u'%')
            continue;
        if (i + 1 < p.size() && p[i + 1] == u'%') {
            out.push_back(L'%');
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < p.size() && (p[j] == u'*' || (p[j] >= u'0' && p[j] <= u'9')))
            out.push_back(static_cast<wchar_t>(p[j++]));
        if (j < p.size() && (p[j] == u's' || p[j] == u'['))
            out.push_back(L'l');
        i = j - 1;
    }
    return out;
}

std::wstring Wide(const QString& s)
{
    std::wstring out;
    for (QChar c : s)
        out.push_back(static_cast<wchar_t>(c.unicode()));
    return out;
}

struct Outcome
{
    int count;
    QString first;
    QString second;
};

Outcome Oracle(const QString& input, const QString& pattern)
{
    const std::wstring in = Wide(input);
    const std::wstring fmt = OraclePattern(pattern);
    std::vector<wchar_t> a(in.size() + 1, L'\0');
    std::vector<wchar_t> b(in.size() + 1, L'\0');
    const int n = std::swscanf(in.c_str(), fmt.c_str(), a.data(), b.data());
    auto text = [](const std::vector<wchar_t>& v) {
        QString s;
        for (wchar_t c : v) {
            if (c == L'\0')
                break;
            s.append(QChar(static_cast<char16_t>(c)));
        }
        return s;
    };
    return {n, n >= 1 ? text(a) : QString(), n >= 2 ? text(b) : QString()};
}

Outcome Ours(const QString& input, const QString& pattern)
{
    QString a, b;
    const int n = ScanTwoFields(input, pattern, a, b);
    return {n, n >= 1 ? a : QString(), n >= 2 ? b : QString()};
}

void ExpectSameAsOracle(const QString& input, const QString& pattern)
{
    const Outcome want = Oracle(input, pattern);
    const Outcome got = Ours(input, pattern);
    SCOPED_TRACE("pattern [" + pattern.toStdString() + "] input [" + input.toStdString() + "]");
    EXPECT_EQ(got.count, want.count);
    EXPECT_EQ(got.first, want.first);
    EXPECT_EQ(got.second, want.second);
}

const QStringList kInputs = {
    QString(),
    QStringLiteral("   "),
    QStringLiteral("https://maps.gsi.go.jp/#16/34.730300/136.508600/&base=std&ls=std&disp=1"),
    QStringLiteral("https://maps.gsi.go.jp/?ll=34.7303,136.5086&z=16&base=std"),
    QStringLiteral("http://127.0.0.1:8080/mcm/map.html?mode=xy&x=-123456.78&y=45678.9&lv=7"),
    QStringLiteral("http://127.0.0.1:8080/mcm/map.html?lat=34.7303&lon=136.5086"),
    QStringLiteral("javascript:openGis('https://maps.gsi.go.jp/#16/34.7/136.5/')"),
    QStringLiteral("abc def\tghi\njkl"),
    QStringLiteral("  lead and trail  "),
    QStringLiteral("a-b]c^d-e"),
    QStringLiteral("]]]---^^^"),
    QStringLiteral("100%25 sure % done"),
    QStringLiteral("地図?緯度=34.7&経度=136.5"),
    QStringLiteral("x=1,y=2"),
    QStringLiteral("x= 1 ,y= 2"),
    QStringLiteral("zzzz"),
};

const QStringList kPatterns = {
    QStringLiteral("%s"),
    QStringLiteral("%s%s"),
    QStringLiteral("%s %s"),
    QStringLiteral("%3s%2s"),
    QStringLiteral("%0s%s"),
    QStringLiteral("%*s %s"),
    QStringLiteral("%*s%*s"),
    QStringLiteral("%*s%s"),
    QStringLiteral("%[^/]/%[^/]"),
    QStringLiteral("%*[^#]#%*[^/]/%[^/]/%[^/]"),
    QStringLiteral("%*[^?]?ll=%[^,],%[^&]"),
    QStringLiteral("%*[^?]?mode=xy&x=%[^&]&y=%[^&]"),
    QStringLiteral("%*[^?]?lat=%[0-9.]&lon=%[0-9.]"),
    QStringLiteral("%*[^?]?lat=%[-0-9.]&lon=%[.0-9-]"),
    QStringLiteral("%*[^(]('%*[^#]#%*[^/]/%[^/]/%[^/']"),
    QStringLiteral("%[]]%[-]"),
    QStringLiteral("%[^]]%[]^-]"),
    QStringLiteral("%[a-c-e]%s"),
    QStringLiteral("%[z-a]%s"),
    QStringLiteral("%[a-a]%s"),
    QStringLiteral("%[]-a]%s"),
    QStringLiteral("%[^a-z]%[a-z]"),
    QStringLiteral("%5[^/]%3[a-z:/.]"),
    QStringLiteral(" %[a-z] %[a-z]"),
    QStringLiteral("%[a-z] %[a-z]"),
    QStringLiteral("%[a-z]\t%[a-z]"),
    QStringLiteral("x=%[^,],y=%s"),
    QStringLiteral("x = %[^ ,] , y = %s"),
    QStringLiteral("x=%s ,y=%s"),
    QStringLiteral("%s%%%s"),
    QStringLiteral("%[^%]%% %s"),
    QStringLiteral("%*[0-9]%%25 %s %s"),
    QStringLiteral("%[^=]=%[^&]"),
    QStringLiteral("%*[^=]=%[^&]&%*[^=]=%[^&]"),
    QStringLiteral("zz%s"),
    QStringLiteral("zzzzz%s"),
    QStringLiteral(" "),
    QStringLiteral(""),
    QStringLiteral("%s "),
    QStringLiteral("%**s%s"),
    QStringLiteral("%1s%1s"),
    QStringLiteral("%l[^/]/%ls"),
};

} // namespace

TEST(WideScan, AgreesWithTheCLibraryOnAddressPatterns)
{
    for (const QString& pattern : kPatterns)
        for (const QString& input : kInputs)
            ExpectSameAsOracle(input, pattern);
}

// Random patterns built from the pieces deployments combine, on random inputs
// over a small alphabet so that sets, literals and widths meet often.
TEST(WideScan, AgreesWithTheCLibraryOnRandomPatterns)
{
    QRandomGenerator rng(20261209);
    const QStringList pieces = {
        QStringLiteral("%s"), QStringLiteral("%*s"), QStringLiteral("%2s"), QStringLiteral("%[ab]"),
        QStringLiteral("%[^/]"), QStringLiteral("%*[^=]"), QStringLiteral("%3[a-c]"), QStringLiteral("%[^]a]"),
        QStringLiteral("%[-/]"), QStringLiteral("%[/-a]"), QStringLiteral("%%"), QStringLiteral(" "),
        QStringLiteral("\t"), QStringLiteral("="), QStringLiteral("/"), QStringLiteral("a"), QStringLiteral("%"),
        QStringLiteral("%*[ =]"), QStringLiteral("%1[^ ]"),
    };
    const QString alphabet = QStringLiteral("ab c=/-%]\t^");
    int compared = 0;
    for (int round = 0; round < 4000; ++round) {
        QString pattern;
        int assigning = 0;
        const int len = rng.bounded(1, 6);
        for (int i = 0; i < len; ++i) {
            QString piece = pieces.at(rng.bounded(pieces.size()));
            if (piece == QStringLiteral("%"))
                continue;
            const bool assigns = piece.startsWith(QLatin1Char('%')) && !piece.startsWith(QStringLiteral("%*"))
                                 && piece != QStringLiteral("%%");
            if (assigns && assigning == 2)
                continue;
            assigning += assigns ? 1 : 0;
            pattern += piece;
        }
        QString input;
        const int inputLength = rng.bounded(0, 10);
        for (int i = 0; i < inputLength; ++i)
            input += alphabet.at(rng.bounded(alphabet.size()));
        ExpectSameAsOracle(input, pattern);
        ++compared;
        if (HasFailure())
            break;
    }
    EXPECT_EQ(compared, 4000);
}

TEST(WideScan, EndOfInputBeforeAnyAssignmentIsNegative)
{
    QString a, b;
    EXPECT_EQ(ScanTwoFields(QString(), QStringLiteral("%s%s"), a, b), ScanEndOfInput);
    EXPECT_EQ(ScanTwoFields(QStringLiteral("only"), QStringLiteral("%*s%s"), a, b), ScanEndOfInput);
    EXPECT_EQ(ScanTwoFields(QStringLiteral("one"), QStringLiteral("%s%s"), a, b), 1);
    EXPECT_EQ(a, QStringLiteral("one"));
}

TEST(WideScan, PatternsOutsideTheStringConversionsAreRejectedWithoutTouchingTheFields)
{
    const QStringList bad = {
        QStringLiteral("%d%s"), QStringLiteral("%s%c"), QStringLiteral("%s%n%s"), QStringLiteral("%1$s%2$s"),
        QStringLiteral("%[abc"), QStringLiteral("%[^"), QStringLiteral("%s%"), QStringLiteral("%5"),
        QStringLiteral("%lls%s"), QStringLiteral("%hs%s"), QStringLiteral("%S%s"), QStringLiteral("%s%s%s"),
        QStringLiteral("%[a]%[b]%[c]"), QStringLiteral("%5*s"), QStringLiteral("%'s"), QStringLiteral("%ms%s"),
        QStringLiteral("%f%f"),
    };
    for (const QString& pattern : bad) {
        QString a = QStringLiteral("keep1");
        QString b = QStringLiteral("keep2");
        EXPECT_EQ(ScanTwoFields(QStringLiteral("12 34 56 x"), pattern, a, b), ScanRejected) << pattern.toStdString();
        EXPECT_EQ(a, QStringLiteral("keep1"));
        EXPECT_EQ(b, QStringLiteral("keep2"));
    }
}

TEST(WideScan, ThreeConversionsOfWhichOneIsSuppressedAreFine)
{
    QString a, b;
    EXPECT_EQ(ScanTwoFields(QStringLiteral("1 2 3"), QStringLiteral("%s%*s%s"), a, b), 2);
    EXPECT_EQ(a, QStringLiteral("1"));
    EXPECT_EQ(b, QStringLiteral("3"));
}

TEST(WideScan, AnEmbeddedNulEndsTheTextLikeAWideString)
{
    QString a, b;
    QString input = QStringLiteral("ab cd");
    input.insert(2, QChar(u'\0'));
    EXPECT_EQ(ScanTwoFields(input, QStringLiteral("%s%s"), a, b), 1);
    EXPECT_EQ(a, QStringLiteral("ab"));
}

TEST(WideScan, LongAddressesFitTheirFieldExactly)
{
    const QString big = QString(5000, QLatin1Char('x')) + QLatin1Char('/') + QString(7000, QLatin1Char('y'));
    QString a, b;
    ASSERT_EQ(ScanTwoFields(big, QStringLiteral("%[^/]/%s"), a, b), 2);
    EXPECT_EQ(a.size(), 5000);
    EXPECT_EQ(b.size(), 7000);
    ExpectSameAsOracle(big, QStringLiteral("%[^/]/%s"));
    ExpectSameAsOracle(big, QStringLiteral("%4999[^/]%s"));
}
