// velmora-calc: the calculation of the main window from the command line,
// for estimators who script their checks and for comparing figures.

#include "CalcArguments.h"
#include "CalcRun.h"

#include "calc/ResultGeoJson.h"
#include "calc/ResultTable.h"
#include "data/Error.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

using namespace velmora::tools;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitBadArgument = 2;

bool Write(FILE* stream, const QByteArray& bytes)
{
    const bool ok = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream)
        == static_cast<size_t>(bytes.size());
    return std::fflush(stream) == 0 && ok;
}

void Message(QString text)
{
    // The texts of the window's boxes break their lines with CR LF.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Write(stderr, (QStringLiteral("velmora-calc: ") + text + u'\n').toUtf8());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    try {
        const CalcArguments arguments = ParseCalcArguments(QCoreApplication::arguments().mid(1));
        if (arguments.help) {
            Write(stdout, CalcUsageText().toUtf8());
            return ExitOk;
        }
        const CalcTable table = RunCalc(arguments);
        const QByteArray output = arguments.geoJson ? velmora::calc::ResultGeoJson(table.places)
                                                    : velmora::calc::WriteTable(table.header, table.rows, arguments.format, table.headNotes);
        if (!Write(stdout, output)) {
            Message(QStringLiteral("結果を書き出せません。"));
            return ExitFailed;
        }
        for (const QString& note : table.notes)
            Message(note);
        return ExitOk;
    } catch (const ArgumentError& e) {
        Message(e.message());
        return ExitBadArgument;
    } catch (const velmora::Error& e) {
        Message(e.message());
        return ExitFailed;
    } catch (const std::exception& e) {
        Message(QString::fromUtf8(e.what()));
        return ExitFailed;
    }
}
