#include "CalcArguments.h"

#include "calc/ShownDistance.h"
#include "data/NumberText.h"

#include <functional>
#include <map>

namespace velmora::tools {
namespace {


ArgumentError Bad(const QString& option, const QString& why)
{
    return ArgumentError(QStringLiteral("%1: %2").arg(option, why));
}

int ParseIndex(const QString& option, const QString& value)
{
    const int index = StrToIntDefault(value, -1);
    if (index < 0 || value.trimmed() != value)
        throw Bad(option, QStringLiteral("'%1' は 0 以上の整数ではありません。").arg(value));
    return index;
}

double ParseCoordinate(const QString& option, const QString& value)
{
    double v = 0;
    try {
        v = StrToFloat(value);
    } catch (const velmora::ConvertError&) {
        throw Bad(option, QStringLiteral("'%1' は数値ではありません。").arg(value));
    }
    // The window enables its calculation button only for non-zero coordinates.
    if (v == 0)
        throw Bad(option, QStringLiteral("座標に 0 は指定できません。"));
    return v;
}

QString Choice(const QString& option, const QString& value, const QStringList& allowed)
{
    if (!allowed.contains(value))
        throw Bad(option, QStringLiteral("'%1' は指定できません（%2 のいずれか）。").arg(value, allowed.join(u'|')));
    return value;
}

// NAME=VALUE; the name may itself hold "=", the value never does.
GridEdit ParseEdit(const QString& option, const QString& value, GridEdit::Column column)
{
    const qsizetype eq = value.lastIndexOf(u'=');
    if (eq <= 0 || eq == value.size() - 1)
        throw Bad(option, QStringLiteral("'%1' は 名称=値 の形ではありません。").arg(value));
    GridEdit edit{column, option, value.left(eq), value.mid(eq + 1)};
    if (column == GridEdit::Column::TransportDistance) {
        double km = 0;
        try {
            km = StrToFloat(edit.text);
        } catch (const velmora::ConvertError&) {
            throw Bad(option, QStringLiteral("'%1' は数値ではありません。").arg(edit.text));
        }
        // The limits the result grid applies to a typed transport distance.
        if (!velmora::calc::ShownDistanceWithin(km, velmora::calc::MaxTransportDistanceKm))
            throw Bad(option, velmora::calc::TransportDistanceRangeText());
    } else if (StrToIntDefault(edit.text, -1) < 0 || edit.text.trimmed() != edit.text) {
        throw Bad(option, QStringLiteral("'%1' は 0 以上の整数（円）ではありません。").arg(edit.text));
    }
    return edit;
}

} // namespace

CalcArguments ParseCalcArguments(const QStringList& arguments)
{
    CalcArguments a;
    bool haveX = false;
    bool haveY = false;

    using Handler = std::function<void(const QString& option, const QString& value)>;
    const auto packageIndex = [&a](int& field) {
        return [&a, &field](const QString& option, const QString& value) {
            field = ParseIndex(option, value);
            a.packageOptions.append(option);
        };
    };
    const std::map<QString, Handler> withValue = {
        {QStringLiteral("--deploy"), [&](const QString&, const QString& v) { a.deployDir = v; }},
        {QStringLiteral("--method"),
         [&](const QString& o, const QString& v) {
             a.method = Choice(o, v, {QStringLiteral("package"), QStringLiteral("labour")}) == QStringLiteral("package")
                 ? CalcMethod::Package
                 : CalcMethod::LabourRate;
         }},
        {QStringLiteral("--district"), [&](const QString& o, const QString& v) { a.district = ParseIndex(o, v); }},
        {QStringLiteral("--cost-item"), [&](const QString& o, const QString& v) { a.costItem = ParseIndex(o, v); }},
        {QStringLiteral("--transport-type"),
         [&](const QString& o, const QString& v) { a.transportType = ParseIndex(o, v); }},
        {QStringLiteral("--debris-work"), packageIndex(a.debrisWork)},
        {QStringLiteral("--loading"), packageIndex(a.loading)},
        {QStringLiteral("--refuse"), packageIndex(a.refuse)},
        {QStringLiteral("--load-class"), packageIndex(a.loadClass)},
        {QStringLiteral("--dump-truck"),
         [&](const QString& o, const QString& v) {
             a.dumpTruckCarry = Choice(o, v, {QStringLiteral("carry"), QStringLiteral("lend")}) == QStringLiteral("carry");
             a.packageOptions.append(o);
         }},
        {QStringLiteral("--x"),
         [&](const QString& o, const QString& v) {
             a.x = ParseCoordinate(o, v);
             a.xText = v;
             haveX = true;
         }},
        {QStringLiteral("--y"),
         [&](const QString& o, const QString& v) {
             a.y = ParseCoordinate(o, v);
             a.yText = v;
             haveY = true;
         }},
        {QStringLiteral("--sort"),
         [&](const QString& o, const QString& v) {
             a.sortMode = Choice(o, v, {QStringLiteral("amount"), QStringLiteral("distance")}) == QStringLiteral("amount") ? 0 : 1;
         }},
        {QStringLiteral("--distance"),
         [&](const QString& o, const QString& v) { a.edits.push_back(ParseEdit(o, v, GridEdit::Column::TransportDistance)); }},
        {QStringLiteral("--fee"),
         [&](const QString& o, const QString& v) { a.edits.push_back(ParseEdit(o, v, GridEdit::Column::ManualFee)); }},
        {QStringLiteral("--case"), [&](const QString&, const QString& v) { a.casePath = v; }},
        {QStringLiteral("--save-case"), [&](const QString&, const QString& v) { a.saveCasePath = v; }},
        {QStringLiteral("--format"),
         [&](const QString& o, const QString& v) {
             const QString format = Choice(o, v, {QStringLiteral("tsv"), QStringLiteral("csv"), QStringLiteral("geojson")});
             a.format = format == QStringLiteral("csv") ? OutputFormat::Csv : OutputFormat::Tsv;
             a.geoJson = format == QStringLiteral("geojson");
         }},
    };

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            a.help = true;
            return a;
        }
        if (arg == QStringLiteral("--did")) {
            a.did = true;
            a.conditionOptions.append(arg);
            continue;
        }
        QString option = arg;
        QString value;
        bool inlineValue = false;
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.startsWith(QStringLiteral("--")) && eq > 0) {
            option = arg.left(eq);
            value = arg.mid(eq + 1);
            inlineValue = true;
        }
        const auto handler = withValue.find(option);
        if (handler == withValue.end())
            throw ArgumentError(QStringLiteral("%1: 不明な引数です（--help で使い方を表示）。").arg(arg));
        if (!inlineValue) {
            if (i + 1 >= arguments.size())
                throw Bad(option, QStringLiteral("値がありません。"));
            value = arguments.at(++i);
        }
        handler->second(option, value);
        static const QStringList conditions = {
            QStringLiteral("--method"), QStringLiteral("--district"), QStringLiteral("--cost-item"),
            QStringLiteral("--transport-type"), QStringLiteral("--debris-work"), QStringLiteral("--loading"),
            QStringLiteral("--refuse"), QStringLiteral("--load-class"), QStringLiteral("--dump-truck"),
            QStringLiteral("--x"), QStringLiteral("--y"), QStringLiteral("--sort")};
        if (conditions.contains(option))
            a.conditionOptions.append(option);
    }

    // A case file brings its own job site and conditions.
    if (!a.casePath.isEmpty()) {
        if (!a.conditionOptions.isEmpty())
            throw Bad(a.conditionOptions.first(), QStringLiteral("--case と同時には指定できません（条件は案件ファイルから読みます）。"));
        return a;
    }

    if (!haveX || !haveY)
        throw ArgumentError(QStringLiteral("%1: 工事現場の座標を指定してください。").arg(haveX ? QStringLiteral("--y") : QStringLiteral("--x")));
    if (a.method == CalcMethod::LabourRate && !a.packageOptions.isEmpty())
        throw Bad(a.packageOptions.first(), QStringLiteral("施工パッケージ方式でのみ指定できます。"));
    return a;
}

QString CalcUsageText()
{
    return QStringLiteral(
        "velmora-calc - disposal sites within 60 km of a job site, ranked by disposal fee plus transport cost\n"
        "\n"
        "Usage:\n"
        "  velmora-calc --x X --y Y [options]\n"
        "  velmora-calc --case FILE [--distance ...] [--fee ...] [--save-case FILE] [--format ...]\n"
        "\n"
        "Job site (plane-rectangular coordinates, zone VI, metres; both non-zero):\n"
        "  --x X                 northing\n"
        "  --y Y                 easting\n"
        "\n"
        "Conditions (indexes are positions, from 0, in the lists the window offers):\n"
        "  --method package|labour   estimating method (default package)\n"
        "  --district N          district (default: the saved default district, else the fourth)\n"
        "  --cost-item N         cost item of the method (default 0)\n"
        "  --transport-type N    transport type of the method and cost item (default 0)\n"
        "  --did                 the route passes a densely inhabited district\n"
        "  package method only:\n"
        "  --debris-work N       debris-generating work (transport type 0; default 0)\n"
        "  --loading N           loading method for the cost item and work (default 0)\n"
        "  --refuse N            kind of refuse (transport type 1; default 0)\n"
        "  --dump-truck carry|lend   dump truck brought or lent (transport type 1; default carry)\n"
        "  --load-class N        load class (transport type 3; default 0)\n"
        "\n"
        "Result:\n"
        "  --sort amount|distance    order of the rows (default amount)\n"
        "  --distance NAME=KM    transport distance for the site NAME (0 to 1000 km), then recalculate\n"
        "  --fee NAME=YEN        disposal fee typed for the site NAME, then recalculate\n"
        "                        (both repeatable, applied in the order given, as Enter in the grid)\n"
        "  --format tsv|csv|geojson  tab-separated UTF-8 (default), CSV in UTF-8 with byte-order mark,\n"
        "                        or a GeoJSON map file: the job site and every row as points\n"
        "                        (longitude, latitude of JGD2011), the columns as properties\n"
        "\n"
        "Case files (the window's 案件を保存 / 案件を開く):\n"
        "  --case FILE           job site, conditions, distances and fees from a case file\n"
        "                        (instead of the options above; --distance and --fee apply on top)\n"
        "  --save-case FILE      write the case calculated, with its distances and fees, to FILE\n"
        "\n"
        "  --deploy DIR          deployment folder holding dat/ (default: the executable's folder);\n"
        "                        its files are copied and decoded elsewhere and never changed\n"
        "  --help                this text\n"
        "\n"
        "Exit status: 0 done, 1 the data or the calculation failed (message on stderr),\n"
        "2 a wrong argument (the message names it).\n");
}

} // namespace velmora::tools
