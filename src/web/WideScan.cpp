#include "web/WideScan.h"

#include <vector>

namespace velmora::web {
namespace {

bool IsScanSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

struct Directive
{
    enum Kind { Space, Literal, Percent, String, Set };
    Kind kind = Literal;
    char16_t literal = 0;
    bool assigns = false;
    qsizetype width = -1; // -1: as many as there are
    bool negated = false;
    std::u16string set;   // the characters between "[" (after "^") and the closing "]"
};

// Splits a pattern into directives; false for anything the string conversions
// do not cover, so that such a pattern is refused before any input is read.
bool Parse(const std::u16string& pattern, std::vector<Directive>& out)
{
    const size_t n = pattern.size();
    size_t i = 0;
    int assigning = 0;
    while (i < n) {
        const char16_t c = pattern[i];
        Directive d;
        if (c != u'%') {
            if (IsScanSpace(c)) {
                d.kind = Directive::Space;
            } else {
                d.kind = Directive::Literal;
                d.literal = c;
            }
            out.push_back(d);
            ++i;
            continue;
        }
        ++i;
        bool suppress = false;
        while (i < n && pattern[i] == u'*') {
            suppress = true;
            ++i;
        }
        qsizetype width = 0;
        bool hasDigits = false;
        while (i < n && pattern[i] >= u'0' && pattern[i] <= u'9') {
            hasDigits = true;
            if (width < 100000000)
                width = width * 10 + (pattern[i] - u'0');
            ++i;
        }
        if (hasDigits && i < n && pattern[i] == u'$')
            return false; // positional arguments have no place in a two-field pattern
        d.width = width == 0 ? -1 : width;
        if (i < n && pattern[i] == u'l') {
            ++i;
            if (i < n && pattern[i] == u'l')
                return false;
        }
        if (i >= n)
            return false;
        const char16_t conv = pattern[i++];
        if (conv == u'%') {
            d.kind = Directive::Percent;
        } else if (conv == u's') {
            d.kind = Directive::String;
        } else if (conv == u'[') {
            d.kind = Directive::Set;
            if (i < n && pattern[i] == u'^') {
                d.negated = true;
                ++i;
            }
            const size_t start = i;
            if (i < n && pattern[i] == u']')
                ++i;
            while (i < n && pattern[i] != u']')
                ++i;
            if (i >= n)
                return false; // no closing bracket
            d.set = pattern.substr(start, i - start);
            ++i;
        } else {
            return false;
        }
        if (d.kind != Directive::Percent && !suppress) {
            d.assigns = true;
            if (++assigning > 2)
                return false;
        }
        out.push_back(d);
    }
    return true;
}

// Membership the way the C library reads a scan set: "a-z" is a range when "-"
// is neither first nor last and the bounds are in order; otherwise "-" is itself.
bool InSet(const Directive& d, char16_t c)
{
    const std::u16string& s = d.set;
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        if (s[i] == u'-' && i != 0 && i + 1 < n && s[i - 1] <= s[i + 1]) {
            if (c > s[i - 1] && c <= s[i + 1])
                return !d.negated;
            i += 2;
        } else {
            if (s[i] == c)
                return !d.negated;
            ++i;
        }
    }
    return d.negated;
}

std::u16string UpToNul(const QString& text)
{
    std::u16string s = text.toStdU16String();
    const size_t nul = s.find(u'\0');
    if (nul != std::u16string::npos)
        s.resize(nul);
    return s;
}

} // namespace

int ScanTwoFields(const QString& input, const QString& pattern, QString& first, QString& second)
{
    std::vector<Directive> directives;
    if (!Parse(UpToNul(pattern), directives))
        return ScanRejected;

    const std::u16string in = UpToNul(input);
    const size_t n = in.size();
    size_t pos = 0;
    int done = 0;
    bool skipSpace = false;
    const auto endOfInput = [&done] { return done == 0 ? ScanEndOfInput : done; };

    for (const Directive& d : directives) {
        switch (d.kind) {
        case Directive::Space:
            skipSpace = true;
            continue;
        case Directive::Literal: {
            if (pos >= n)
                return endOfInput();
            char16_t c = in[pos++];
            if (skipSpace) {
                while (IsScanSpace(c)) {
                    if (pos >= n)
                        return endOfInput();
                    c = in[pos++];
                }
                skipSpace = false;
            }
            if (c != d.literal)
                return done;
            continue;
        }
        default:
            break;
        }

        if (skipSpace || d.kind != Directive::Set) {
            while (pos < n && IsScanSpace(in[pos]))
                ++pos;
            skipSpace = false;
        }
        if (pos >= n)
            return endOfInput();

        if (d.kind == Directive::Percent) {
            if (in[pos] != u'%')
                return done;
            ++pos;
            continue;
        }

        const size_t start = pos;
        const size_t limit = d.width < 0 ? n : std::min(n, start + static_cast<size_t>(d.width));
        if (d.kind == Directive::String) {
            while (pos < limit && !IsScanSpace(in[pos]))
                ++pos;
        } else {
            while (pos < limit && InSet(d, in[pos]))
                ++pos;
            if (pos == start)
                return done;
        }
        if (d.assigns) {
            QString& field = done == 0 ? first : second;
            field = QString::fromStdU16String(in.substr(start, pos - start));
            ++done;
        }
    }
    return done;
}

} // namespace velmora::web
