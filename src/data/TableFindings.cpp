#include "TableFindings.h"

#include "NumberText.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace velmora::data {

namespace {

std::vector<TableFinding>& pending()
{
    static std::vector<TableFinding> findings;
    return findings;
}

QString shownValue(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral("↵"));
    value.replace(u'\r', QStringLiteral("↵"));
    value.replace(u'\n', QStringLiteral("↵"));
    constexpr int kLongest = 40;
    return value.size() > kLongest ? value.left(kLongest) + QStringLiteral("…") : value;
}

// Why a text is not a plain number, in the words an office clerk knows.
QString numberProblem(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("空欄です");
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            return QStringLiteral("全角の数字が含まれています");
        if (u == u'\r' || u == u'\n')
            return QStringLiteral("値の中に改行があります");
        if (u == u',' || u == 0xFF0C)
            return QStringLiteral("カンマが含まれています（桁区切りや小数点のカンマは使えません）");
        if (c.isSpace())
            return QStringLiteral("空白が含まれています");
    }
    return QStringLiteral("数値ではありません");
}

// Digits with an optional leading minus and, when `decimal`, one "." between digits.
bool isPlainNumber(const QString& text, bool decimal)
{
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    qsizetype digits = 0;
    bool point = false;
    bool digitAfterPoint = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            ++digits;
            digitAfterPoint = point;
        } else if (decimal && c == u'.' && !point && digits > 0) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0 && (!point || digitAfterPoint);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

void reportFinding(const TableFinding& finding)
{
    auto& all = pending();
    if (std::find(all.begin(), all.end(), finding) == all.end())
        all.push_back(finding);
}

std::vector<TableFinding> takeFindings()
{
    std::vector<TableFinding> taken;
    taken.swap(pending());
    return taken;
}

bool hasPendingFindings() { return !pending().empty(); }

QString FindingText(const TableFinding& f)
{
    const QString level = f.level == FindingLevel::Error ? QStringLiteral("誤り") : QStringLiteral("注意");
    const QString where = f.line > 0 ? QStringLiteral("%1 の %2 行目").arg(f.file).arg(f.line) : f.file;
    // A finding on the file as a whole has no value to quote.
    if (f.line == 0 && f.value.isEmpty())
        return QStringLiteral("%1: %2: %3").arg(level, where, f.problem);
    return QStringLiteral("%1: %2「%3」: %4").arg(level, where, shownValue(f.value), f.problem);
}

QString FindingsText(const std::vector<TableFinding>& findings, int mostListed)
{
    QStringList lines;
    const int count = static_cast<int>(findings.size());
    for (int i = 0; i < count && i < mostListed; ++i)
        lines.append(FindingText(findings[static_cast<std::size_t>(i)]));
    if (count > mostListed)
        lines.append(QStringLiteral("ほか %1 件").arg(count - mostListed));
    return lines.join(QStringLiteral("\r\n"));
}

QString RowReason(const TableFinding& f)
{
    return f.line > 0 ? QStringLiteral("単価データの誤り（%1 の %2 行目）").arg(f.file).arg(f.line)
                      : QStringLiteral("単価データの誤り（%1）").arg(f.file);
}

TableDamage::TableDamage(const TableFinding& finding)
    : Error(FindingText(finding))
    , m_finding(finding)
{
}

QString ShippedFileName(const QString& workingPath)
{
    const QString name = QFileInfo(workingPath).fileName();
    return name.startsWith(u'D') ? u'E' + name.mid(1) : name;
}

std::optional<long long> TableInteger(const QString& text, QString* why)
{
    if (isPlainNumber(text, false) && text.size() <= 18)
        return text.toLongLong();
    if (why)
        *why = isPlainNumber(text, true) ? QStringLiteral("整数ではありません") : numberProblem(text);
    return std::nullopt;
}

std::optional<double> TableDecimal(const QString& text, QString* why)
{
    if (isPlainNumber(text, true) && text.size() <= 24)
        return StrToFloat(text);
    if (why)
        *why = numberProblem(text);
    return std::nullopt;
}

std::vector<std::size_t> FarOffValues(const std::vector<double>& values)
{
    std::vector<std::size_t> far;
    std::vector<double> positive;
    for (double v : values)
        if (v > 0)
            positive.push_back(v);
    if (positive.size() < 3)
        return far;
    const double m = median(positive);
    for (std::size_t i = 0; i < values.size(); ++i) {
        // "About ten times": a figure with one digit too many (149 → 1490)
        // lands just below ten times a median of 150.
        if (values[i] > 0 && (values[i] >= m * 8 || values[i] * 8 <= m))
            far.push_back(i);
    }
    return far;
}

QString UsualRangeText(const std::vector<double>& values)
{
    std::vector<double> positive;
    for (double v : values)
        if (v > 0)
            positive.push_back(v);
    if (positive.empty())
        return QString();
    return QStringLiteral("ほかの値は %1 前後です").arg(FloatToStr(median(positive)));
}

} // namespace velmora::data
