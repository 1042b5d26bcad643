// velmora-datatool: prepares the shipped data files from their readable
// sources (the build runs it for the sample deployment) and turns any shipped
// file back into readable text for the people who maintain the data.

#include "CheckDeployment.h"
#include "DataTool.h"

#include "data/CEnDecryption.h"
#include "data/Error.h"
#include "data/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace velmora::tools;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitWarningsOnly = 3;

const QString kStdStream = QStringLiteral("-");

QString usageText()
{
    return QStringLiteral(
               "velmora-datatool - prepares and reads the data files of a Velmora deployment\n"
               "\n"
               "Usage:\n"
               "  velmora-datatool scramble   INPUT OUTPUT\n"
               "  velmora-datatool unscramble INPUT OUTPUT\n"
               "  velmora-datatool encode --to ENCODING [--strip-comments PREFIX] INPUT OUTPUT\n"
               "  velmora-datatool decode [--from ENCODING] INPUT OUTPUT\n"
               "  velmora-datatool check DIR\n"
               "  velmora-datatool help\n"
               "\n"
               "  scramble, unscramble  apply the scrambling of the dat/ tables to a file. The\n"
               "                        routine is its own inverse: both commands do the same.\n"
               "  encode                UTF-8 text (mark optional) to a shipped encoding; line\n"
               "                        breaks become CR LF. With --strip-comments, lines that\n"
               "                        begin with PREFIX are left out (for formats that have\n"
               "                        no comments of their own).\n"
               "  decode                a shipped file to UTF-8 text without mark, LF line\n"
               "                        breaks. Without --from (or with --from auto) the\n"
               "                        encoding is taken from the byte-order mark, else from\n"
               "                        the name: a scrambled key (EA01 ... EC01) means\n"
               "                        utf16le-scrambled, a working key (DA01 ... DC01)\n"
               "                        utf16le, anything else cp932.\n"
               "  check                 reads the deployment in DIR (the folder holding dat/)\n"
               "                        with the program's own readers and prints every\n"
               "                        finding: file, line, value, what is wrong, error or\n"
               "                        warning. Exit status 0 clean, 1 errors, 3 warnings only.\n"
               "                        Run it before shipping new tables to the estimators.\n"
               "\n"
               "Encodings:\n"
               "  utf16le            UTF-16LE without mark (working files)\n"
               "  utf16le-bom        UTF-16LE with mark\n"
               "  utf16le-scrambled  UTF-16LE without mark, scrambled (the tables in dat/)\n"
               "  utf16be-bom        UTF-16BE with mark\n"
               "  cp932              Shift-JIS (code page 932) without mark\n"
               "  utf8-bom           UTF-8 with mark\n"
               "  utf8               UTF-8 without mark\n"
               "\n"
               "INPUT or OUTPUT '-' means standard input or output. Exit status: 0 done,\n"
               "1 a file could not be read, converted or written, 2 wrong arguments.\n");
}

void print(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// Ends the command with an exit status and a message for stderr.
struct Failure
{
    int code;
    QString message;
};

Failure usageError(const QString& message)
{
    return {ExitUsage, message + QStringLiteral("\nRun 'velmora-datatool help' for usage.")};
}

QByteArray readInput(const QString& path)
{
    QFile file;
    bool opened = false;
    if (path == kStdStream) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        if (QFileInfo(path).isDir())
            throw Failure{ExitFailed, QStringLiteral("cannot read %1: it is a directory").arg(path)};
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened)
        throw Failure{ExitFailed, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure{ExitFailed, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    return bytes;
}

void writeOutput(const QString& path, const QByteArray& bytes)
{
    if (path == kStdStream) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
            throw Failure{ExitFailed, QStringLiteral("cannot write to standard output: %1").arg(out.errorString())};
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Failure{ExitFailed, QStringLiteral("cannot create the folder %1").arg(folder)};
    // Written beside the target and renamed over it only when complete, so a
    // failed run never leaves a half-written file where the build expects one.
    QString reason;
    if (!velmora::data::ReplaceFileContents(path, bytes, &reason))
        throw Failure{ExitFailed, QStringLiteral("cannot write %1: %2").arg(path, reason)};
}

struct Arguments
{
    QString command;
    QStringList positional;
    QString to;
    QString from;
    QString commentPrefix;
    bool hasCommentPrefix = false;
};

Arguments parseArguments(const QStringList& args)
{
    Arguments a;
    if (args.isEmpty())
        throw usageError(QStringLiteral("no command given"));
    a.command = args.first();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        auto optionValue = [&](const QString& option, QString& target) {
            if (arg == option) {
                if (i + 1 >= args.size())
                    throw usageError(QStringLiteral("%1 needs a value").arg(option));
                target = args.at(++i);
                return true;
            }
            if (arg.startsWith(option + u'=')) {
                target = arg.mid(option.size() + 1);
                return true;
            }
            return false;
        };
        if (optionValue(QStringLiteral("--to"), a.to) || optionValue(QStringLiteral("--from"), a.from))
            continue;
        if (optionValue(QStringLiteral("--strip-comments"), a.commentPrefix)) {
            a.hasCommentPrefix = true;
            continue;
        }
        if (arg.startsWith(QStringLiteral("--")))
            throw usageError(QStringLiteral("unknown option %1").arg(arg));
        a.positional.append(arg);
    }
    return a;
}

void requireFiles(const Arguments& a)
{
    if (a.positional.size() != 2)
        throw usageError(QStringLiteral("%1 needs INPUT and OUTPUT").arg(a.command));
}

void rejectOptions(const Arguments& a, bool to, bool from, bool comments)
{
    if ((!a.to.isEmpty() && !to) || (!a.from.isEmpty() && !from) || (a.hasCommentPrefix && !comments))
        throw usageError(QStringLiteral("an option does not belong to %1").arg(a.command));
}

int run(const QStringList& args)
{
    const Arguments a = parseArguments(args);
    if (a.command == QStringLiteral("help") || a.command == QStringLiteral("--help") || a.command == QStringLiteral("-h")) {
        print(stdout, usageText());
        return ExitOk;
    }
    if (a.command == QStringLiteral("check")) {
        rejectOptions(a, false, false, false);
        if (a.positional.size() != 1)
            throw usageError(QStringLiteral("check needs DIR"));
        CheckReport report;
        try {
            report = CheckDeployment(a.positional.at(0));
        } catch (const velmora::Error& e) {
            throw Failure{ExitFailed, e.message()};
        }
        const QStringList all = report.errors + report.warnings;
        if (!all.isEmpty())
            print(stdout, all.join(u'\n') + u'\n');
        print(stdout, QStringLiteral("%1: 誤り %2 件、注意 %3 件\n").arg(a.positional.at(0)).arg(report.errors.size()).arg(report.warnings.size()));
        return !report.errors.isEmpty() ? ExitFailed : !report.warnings.isEmpty() ? ExitWarningsOnly : ExitOk;
    }
    if (a.command == QStringLiteral("scramble") || a.command == QStringLiteral("unscramble")) {
        rejectOptions(a, false, false, false);
        requireFiles(a);
        writeOutput(a.positional.at(1), CEnDecryption::Transform(readInput(a.positional.at(0))));
        return ExitOk;
    }
    if (a.command == QStringLiteral("encode")) {
        rejectOptions(a, true, false, true);
        if (a.to.isEmpty())
            throw usageError(QStringLiteral("encode needs --to ENCODING"));
        const std::optional<Encoding> to = ParseEncoding(a.to);
        if (!to)
            throw usageError(QStringLiteral("unknown encoding %1 (one of: %2)").arg(a.to, EncodingNames().join(QStringLiteral(", "))));
        if (a.hasCommentPrefix && a.commentPrefix.isEmpty())
            throw usageError(QStringLiteral("--strip-comments needs a non-empty prefix"));
        requireFiles(a);
        const QString& input = a.positional.at(0);
        try {
            QString text = ReadUtf8Source(readInput(input));
            if (a.hasCommentPrefix)
                text = StripCommentLines(text, a.commentPrefix);
            writeOutput(a.positional.at(1), EncodeText(ToCrLf(text), *to));
        } catch (const velmora::Error& e) {
            throw Failure{ExitFailed, QStringLiteral("%1: %2").arg(input, e.message())};
        }
        return ExitOk;
    }
    if (a.command == QStringLiteral("decode")) {
        rejectOptions(a, false, true, false);
        std::optional<Encoding> from;
        if (!a.from.isEmpty() && a.from != QStringLiteral("auto")) {
            from = ParseEncoding(a.from);
            if (!from)
                throw usageError(QStringLiteral("unknown encoding %1 (auto or one of: %2)").arg(a.from, EncodingNames().join(QStringLiteral(", "))));
        }
        requireFiles(a);
        const QString& input = a.positional.at(0);
        const QByteArray bytes = readInput(input);
        const QString name = input == kStdStream ? QString() : QFileInfo(input).fileName();
        try {
            writeOutput(a.positional.at(1), ToLf(DecodeBytes(bytes, from ? *from : GuessEncoding(bytes, name))).toUtf8());
        } catch (const velmora::Error& e) {
            throw Failure{ExitFailed, QStringLiteral("%1: %2").arg(input, e.message())};
        }
        return ExitOk;
    }
    throw usageError(QStringLiteral("unknown command %1").arg(a.command));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return run(args);
    } catch (const Failure& f) {
        print(stderr, QStringLiteral("velmora-datatool: %1\n").arg(f.message));
        return f.code;
    }
}
