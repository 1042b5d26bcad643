// One value of one master table changed at a time, as the office that edits
// them by hand would, and encoded back as shipped; velmora-calc then runs a
// few fixed calculations that are compared with those of the sound tables.
// A damage may change only the figures of the part it touches (its site,
// district, truck class, band group or list), and only while the file and
// line are named on stderr. Set VELMORA_CALC to judge another build.

#include "data/IniFile.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QProcess>
#include <QRegularExpression>

#include <functional>
#include <iostream>

using velmora::data::IniEncoding;
using velmora::test::TempDeployment;

namespace {

struct Calc
{
    QStringList args;
    bool package;
    int district;
    int truckClass;
    QString labourClass; // DB01 section
    QString quantities;  // DTTankaSuryo.ini section
};

QStringList Args(std::initializer_list<const char*> args)
{
    QStringList list;
    for (const char* a : args)
        list.append(QString::fromUtf8(a));
    return list;
}

const std::vector<Calc>& Calcs()
{
    static const std::vector<Calc> calcs = {
        {Args({"--method", "package", "--district", "3", "--cost-item", "1", "--x", "-147000", "--y", "45000"}), true, 3, 0, {}, {}},
        {Args({"--method", "labour", "--district", "3", "--cost-item", "0", "--x", "-147000", "--y", "45000"}), false, 3, 0,
         QStringLiteral("10t DID無"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量")},
        {Args({"--method", "labour", "--district", "0", "--cost-item", "2", "--transport-type", "1", "--did", "--x", "-100000",
          "--y", "55000"}),
         false, 0, 1, QStringLiteral("4t DID有"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量")},
        {Args({"--method", "package", "--district", "9", "--cost-item", "2", "--x", "-234000", "--y", "9000"}), true, 9, 0, {}, {}},
    };
    return calcs;
}

struct CalcRun
{
    int exit = -1; // -1: crash or hang
    QString out;
    QString err;
};

QString CalcBinary()
{
    const QString given = qEnvironmentVariable("VELMORA_CALC");
    return given.isEmpty() ? QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-calc") : given;
}

std::vector<CalcRun> RunAll(const QString& deployment)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const Calc& c : Calcs()) {
        auto p = std::make_unique<QProcess>();
        p->start(CalcBinary(), QStringList{QStringLiteral("--deploy"), deployment} + c.args);
        processes.push_back(std::move(p));
    }
    std::vector<CalcRun> runs;
    for (auto& p : processes) {
        CalcRun r;
        if (p->waitForFinished(60000) && p->exitStatus() == QProcess::NormalExit)
            r.exit = p->exitCode();
        else
            p->kill();
        r.out = QString::fromUtf8(p->readAllStandardOutput());
        r.err = QString::fromUtf8(p->readAllStandardError());
        runs.push_back(r);
    }
    return runs;
}

// Rows by site name without the row number and rank, which move whenever a
// site above is left out.
QHash<QString, QString> RowsBySite(const QString& out)
{
    QHash<QString, QString> rows;
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList cells = lines.at(i).split(u'\t');
        if (cells.size() < 14)
            continue;
        cells[13].clear();
        cells[0].clear();
        rows.insert(cells.at(1), cells.join(u'\t'));
    }
    return rows;
}

// What a damage is allowed to change: the rows of some sites, or whole
// calculations.
struct Touch
{
    QStringList sites;
    std::function<bool(const Calc&)> calcs = [](const Calc&) { return false; };
};

struct Case
{
    QString file;     // relative to the exe folder
    QString name;     // for the log
    QString damaged;  // the whole text after the damage
    int line = 0;     // the damaged line as the decoded file counts it
    Touch touch;
};

struct Shipped
{
    QString text;
    bool table;
    IniEncoding encoding = IniEncoding::Cp932;
};

Shipped ReadShipped(const TempDeployment& d, const QString& relative)
{
    if (relative.endsWith(QStringLiteral(".dat")))
        return {d.readScrambled(relative.mid(4)), true};
    Shipped s{QString(), false};
    s.text = velmora::data::IniFile::decode(d.readBytes(relative), velmora::data::IniFile::Decode::FromMark, &s.encoding);
    return s;
}

QString Fullwidth(QString v)
{
    for (QChar& c : v)
        if (c >= u'0' && c <= u'9')
            c = QChar(c.unicode() - u'0' + 0xFF10);
    return v;
}

// The damages of one value: what the office's hand and editor do to a number.
std::vector<std::pair<QString, QString>> NumberDamages(const QString& v)
{
    std::vector<std::pair<QString, QString>> d = {
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("negative"), u'-' + v},
        {QStringLiteral("fullwidth"), Fullwidth(v)},
        {QStringLiteral("cr inside"), v.left(1) + u'\r' + v.mid(1)},
        {QStringLiteral("huge"), v.section(u'.', 0, 0) + QStringLiteral("00000000")},
        {QStringLiteral("letter"), v + u'O'},
    };
    if (v.contains(u'.'))
        d.push_back({QStringLiteral("decimal comma"), QString(v).replace(u'.', u',')});
    else if (v.size() > 3)
        d.push_back({QStringLiteral("thousands"), v.left(v.size() - 3) + u',' + v.right(3)});
    else
        d.push_back({QStringLiteral("times ten"), v + u'0'});
    return d;
}

class Builder
{
public:
    explicit Builder(const TempDeployment& d)
        : dep(d)
    {
    }
    std::vector<Case> cases;

    // Damages to field `field` (comma split) of the line `line` (from 1).
    void numberField(const QString& file, int line, int field, const Touch& touch)
    {
        const QStringList lines = Lines(file);
        const QStringList fields = lines.at(line - 1).split(u',');
        for (const auto& [name, value] : NumberDamages(fields.at(field))) {
            QStringList changed = fields;
            changed[field] = value;
            add(file, QStringLiteral("line %1 field %2 %3").arg(line).arg(field).arg(name), line, replaced(file, line, changed.join(u',')), touch);
        }
    }
    void textField(const QString& file, int line, int field, const QString& value, const char* name, const Touch& touch)
    {
        QStringList fields = Lines(file).at(line - 1).split(u',');
        fields[field] = value;
        add(file, QStringLiteral("line %1 %2").arg(line).arg(QString::fromUtf8(name)), line, replaced(file, line, fields.join(u',')), touch);
    }
    void lineDamages(const QString& file, int line, const Touch& touch, bool swap = true)
    {
        QStringList lines = Lines(file);
        QStringList without = lines;
        without.removeAt(line - 1);
        add(file, QStringLiteral("line %1 deleted").arg(line), line, without.join(QStringLiteral("\r\n")), touch);
        QStringList twice = lines;
        twice.insert(line - 1, lines.at(line - 1));
        add(file, QStringLiteral("line %1 twice").arg(line), line, twice.join(QStringLiteral("\r\n")), touch);
        if (swap && line < lines.size()) {
            QStringList swapped = lines;
            swapped.swapItemsAt(line - 1, line);
            add(file, QStringLiteral("line %1 swapped").arg(line), line, swapped.join(QStringLiteral("\r\n")), touch);
        }
    }
    void emptyLineAfter(const QString& file, int line, const Touch& touch)
    {
        QStringList lines = Lines(file);
        lines.insert(line, QString());
        add(file, QStringLiteral("empty line after %1").arg(line), line, lines.join(QStringLiteral("\r\n")), touch);
    }
    QStringList Lines(const QString& file) { return ReadShipped(dep, file).text.split(QStringLiteral("\r\n")); }
    int LineOf(const QString& file, const QString& start)
    {
        const QStringList lines = Lines(file);
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines.at(i).startsWith(start))
                return static_cast<int>(i + 1);
        ADD_FAILURE() << file.toStdString() << " has no line " << start.toStdString();
        return 1;
    }

private:
    QString replaced(const QString& file, int line, const QString& text)
    {
        QStringList lines = Lines(file);
        lines[line - 1] = text;
        return lines.join(QStringLiteral("\r\n"));
    }
    void add(const QString& file, const QString& name, int line, const QString& text, const Touch& touch)
    {
        cases.push_back({file, name, text, line, touch});
    }
    const TempDeployment& dep;
};

Touch Sites(const QStringList& names) { return {names}; }
Touch CalcsWhere(std::function<bool(const Calc&)> p) { return {{}, std::move(p)}; }
Touch Everything() { return CalcsWhere([](const Calc&) { return true; }); }

std::vector<Case> BuildCases(const TempDeployment& d)
{
    Builder b(d);
    const QString sites = QStringLiteral("dat/ET19.dat");
    const QString places = QStringLiteral("dat/EC01.dat");
    // Sites that rank near the top of the calculations (津, 桑名, 熊野).
    for (const QString& key : {QStringLiteral("S15"), QStringLiteral("S03"), QStringLiteral("S39")}) {
        int at = 0;
        const QStringList lines = b.Lines(sites);
        for (qsizetype i = 0; i < lines.size() && at == 0; ++i)
            if (lines.at(i).split(u',').value(5) == key)
                at = static_cast<int>(i + 1);
        const QStringList fields = lines.at(at - 1).split(u',');
        const QString name = fields.at(7);
        const QString next = lines.at(at).split(u',').value(7);
        b.numberField(sites, at, 10, Sites({name}));
        b.textField(sites, at, 2, fields.at(2) + QStringLiteral(",地内"), "comma in address", Sites({name}));
        b.textField(sites, at, 6, fields.at(6).left(2) + QStringLiteral("ｺｸﾘｰﾄ塊"), "cost item typo", Sites({name}));
        b.textField(sites, at, 5, lines.at(at).split(u',').value(5), "key of the next line", Sites({name, next}));
        b.lineDamages(sites, at, Sites({name}), false);

        int p = 0;
        const QStringList placeLines = b.Lines(places);
        for (qsizetype i = 0; i < placeLines.size() && p == 0; ++i)
            if (placeLines.at(i).split(u',').value(1) == key)
                p = static_cast<int>(i + 1);
        const QStringList xy = placeLines.at(p - 1).split(u',');
        b.numberField(places, p, 2, Sites({name}));
        b.numberField(places, p, 3, Sites({name}));
        b.textField(places, p, 2, xy.at(3), "x and y swapped", Sites({name}));
        b.textField(places, p, 2, xy.at(2).mid(1), "sign dropped", Sites({name}));
        b.textField(places, p, 2, QString::number(xy.at(2).toDouble() / 10, 'f', 2), "point shifted", Sites({name}));
        const QString nextKey = placeLines.at(p).split(u',').value(1);
        QString nextName;
        for (const QString& l : lines)
            if (l.split(u',').value(5) == nextKey)
                nextName = l.split(u',').value(7);
        b.textField(places, p, 1, nextKey, "key of the next line", Sites({name, nextName}));
        b.lineDamages(places, p, Sites({name}), false);
    }

    // Positional price lists: a value costs its district or class; a line
    // deleted or written twice costs the whole list.
    const auto district = [](int n) { return CalcsWhere([n](const Calc& c) { return c.district == n; }); };
    const auto truckClass = [](int n, bool packageToo) {
        return CalcsWhere([n, packageToo](const Calc& c) { return (packageToo && c.package) || (!c.package && c.truckClass == n); });
    };
    b.textField(QStringLiteral("dat/EA01.dat"), 5, 0, QString(), "empty district", district(3));
    b.textField(QStringLiteral("dat/EA01.dat"), 2, 0, b.Lines(QStringLiteral("dat/EA01.dat")).at(2), "district twice",
                CalcsWhere([](const Calc& c) { return c.district <= 1; }));
    b.lineDamages(QStringLiteral("dat/EA01.dat"), 5, Everything(), false);
    for (int line : {5, 11}) {
        b.numberField(QStringLiteral("dat/ET02.dat"), line, 0, district(line - 2));
        b.lineDamages(QStringLiteral("dat/ET02.dat"), line, Everything(), false);
    }
    b.numberField(QStringLiteral("dat/ER01.dat"), 2, 0, Everything());
    b.lineDamages(QStringLiteral("dat/ER01.dat"), 2, Everything(), false);
    for (int line : {2, 3}) {
        b.numberField(QStringLiteral("dat/ES24.dat"), line, 0, truckClass(line - 2, true));
        b.numberField(QStringLiteral("dat/ES22.dat"), line, 0, truckClass(line - 2, false));
    }
    b.lineDamages(QStringLiteral("dat/ES24.dat"), 2, Everything(), false);
    b.lineDamages(QStringLiteral("dat/ES22.dat"), 3, CalcsWhere([](const Calc& c) { return !c.package; }), false);

    // The package table: a group's first row, a band row, the last band.
    const Touch package = CalcsWhere([](const Calc& c) { return c.package; });
    const QString table = QStringLiteral("dat/ESP2.dat");
    const int first = b.LineOf(table, QStringLiteral("1,0.3,0,")) ;
    for (int field : {5, 12})
        b.numberField(table, first, field, package);
    b.numberField(table, first + 5, 1, package);
    b.numberField(table, first + 5, 5, package);
    b.lineDamages(table, first + 5, package);
    b.emptyLineAfter(table, first + 10, package);
    b.textField(table, first + 26, 1, QStringLiteral("6.0"), "last limit 6.0", package);

    // The labour-rate table: a band of the classes two calculations use.
    const QString bands = QStringLiteral("dat/EB01.dat");
    for (const QString& section : {QStringLiteral("10t DID無"), QStringLiteral("4t DID有")}) {
        const int header = b.LineOf(bands, u'[' + section + u']');
        const Touch cls = CalcsWhere([section](const Calc& c) { return c.labourClass == section; });
        b.numberField(bands, header + 5, 0, cls);
        b.numberField(bands, header + 5, 1, cls);
        b.lineDamages(bands, header + 5, cls);
        b.textField(bands, header, 0, u'[' + section + QStringLiteral(" ]"), "section renamed", cls);
    }

    // Quantities and the selection lists.
    const QString quantities = QStringLiteral("dat/DTTankaSuryo.ini");
    for (const QString& section : {QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量")}) {
        const int header = b.LineOf(quantities, u'[' + section + u']');
        const Touch cls = CalcsWhere([section](const Calc& c) { return c.quantities == section; });
        b.numberField(quantities, header + 2, 0, cls);
        b.numberField(quantities, header + 3, 0, cls);
    }
    const auto listDamages = [&](const QString& file, const QString& section, const Touch& touch) {
        const int header = b.LineOf(file, u'[' + section + u']');
        b.lineDamages(file, header + 1, touch);
        b.textField(file, header + 1, 0, b.Lines(file).at(header) + QStringLiteral("ｰ"), "typo", touch);
    };
    listDamages(QStringLiteral("dat/SyobunjoKikakuSource.ini"), QStringLiteral("処分費目"), Everything());
    listDamages(QStringLiteral("dat/Himoku_RowSource.ini"), QStringLiteral("処分費目"), Everything());
    listDamages(QStringLiteral("dat/Syubetsu_RowSource.ini"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"),
                CalcsWhere([](const Calc& c) { return !c.package; }));
    return b.cases;
}

void Write(const TempDeployment& d, const QString& relative, const QString& text)
{
    const Shipped shipped = ReadShipped(d, relative);
    if (shipped.table)
        d.writeScrambled(relative.mid(4), text);
    else
        d.writeIni(relative, text, shipped.encoding);
}

enum class Verdict { Sound, RefusesMore, Silent, Crash };

Verdict Judge(const Case& c, const std::vector<CalcRun>& base, const std::vector<CalcRun>& runs, QString& why)
{
    const QString file = c.file.mid(4);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const CalcRun& r = runs[k];
        if (r.exit < 0) {
            why = QStringLiteral("calc %1 crashed").arg(k);
            return Verdict::Crash;
        }
    }
    Verdict verdict = Verdict::Sound;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const CalcRun& r = runs[k];
        const CalcRun& b = base[k];
        if (r.exit == b.exit && r.out == b.out)
            continue;
        // Named: the file and a line of it (or its line count) on stderr.
        static const QRegularExpression line(QStringLiteral("(の \\d+ 行目|行あり)"));
        const bool named = r.err.contains(file) && (r.err.contains(file + u'「') || line.match(r.err).hasMatch());
        if (!named) {
            why = QStringLiteral("calc %1 changed silently: %2").arg(k).arg(r.err.left(200));
            return Verdict::Silent;
        }
        const Calc& calc = Calcs()[k];
        if (c.touch.calcs(calc))
            continue;
        if (r.exit != b.exit) {
            why = QStringLiteral("calc %1 refused: %2").arg(k).arg(r.err.left(200));
            verdict = Verdict::RefusesMore;
            continue;
        }
        QHash<QString, QString> before = RowsBySite(b.out);
        QHash<QString, QString> after = RowsBySite(r.out);
        for (const QString& site : c.touch.sites) {
            before.remove(site);
            after.remove(site);
        }
        if (before != after) {
            why = QStringLiteral("calc %1 moved rows of other sites").arg(k);
            verdict = Verdict::RefusesMore;
        }
    }
    return verdict;
}

TEST(ValueDamageMatrix, EveryDamagedValueIsNamedAndCostsOnlyItsPart)
{
    TempDeployment sound;
    ASSERT_TRUE(sound.isValid());
    sound.copySampleDeployment();
    const std::vector<CalcRun> base = RunAll(sound.exeDir());
    for (std::size_t k = 0; k < base.size(); ++k) {
        ASSERT_EQ(base[k].exit, 0) << k << base[k].err.toStdString();
        ASSERT_TRUE(base[k].err.isEmpty()) << base[k].err.toStdString();
    }
    const std::vector<Case> cases = BuildCases(sound);
    ASSERT_GT(cases.size(), 150u);

    int counts[4] = {0, 0, 0, 0};
    QStringList problems;
    for (const Case& c : cases) {
        TempDeployment d;
        d.copySampleDeployment();
        Write(d, c.file, c.damaged);
        QString why;
        const Verdict v = Judge(c, base, RunAll(d.exeDir()), why);
        ++counts[static_cast<int>(v)];
        if (v != Verdict::Sound)
            problems.append(QStringLiteral("%1 %2: %3").arg(c.file.mid(4), c.name, why));
    }
    std::cout << "\nsingle-value damages: " << cases.size() << "; named and only their own part: " << counts[0]
              << "; named but refusing or moving more: " << counts[1] << "; changed without a message: " << counts[2]
              << "; crashed: " << counts[3] << '\n';
    for (const QString& p : problems)
        std::cout << "  " << p.toStdString() << '\n';
    EXPECT_EQ(counts[static_cast<int>(Verdict::Crash)], 0);
    // Even what the tables cannot prove wrong is named: a deleted site line by
    // the gap in the line numbers, a moved coordinate by its own latitude, a
    // figure a few times off by its neighbours or the truck classes' order.
    EXPECT_EQ(counts[static_cast<int>(Verdict::Silent)], 0);
    EXPECT_EQ(counts[static_cast<int>(Verdict::RefusesMore)], 0);
}

} // namespace
