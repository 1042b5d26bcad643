#include "CEnDecryption.h"

#include "FileErrorText.h"
#include "FindDataFileName.h"
#include "Notifier.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using velmora::data::Paths;

const QStringList& CEnDecryption::ScrambledKeys()
{
    static const QStringList keys = {
        QStringLiteral("EA01"), QStringLiteral("EB01"), QStringLiteral("ET02"),
        QStringLiteral("ES24"), QStringLiteral("ER01"), QStringLiteral("ES22"),
        QStringLiteral("ESP2"), QStringLiteral("ET19"), QStringLiteral("EC01"),
    };
    return keys;
}

CEnDecryption::CEnDecryption()
    : exeDirectory(Paths::exeDirectory())
{
}

CEnDecryption::~CEnDecryption() { DeleteWorkFiles(); }

void CEnDecryption::DecryptDataFiles()
{
    using namespace velmora::data;
    const QString directory = Paths::dataDirectory();
    for (const QString& key : ScrambledKeys()) {
        const QString name = FindDataFileName(key, directory);
        QStringList passedOver = DataFilesHolding(key, directory);
        passedOver.removeOne(name);
        // A copy left beside a table (a backup, a file saved again under
        // another name) must not go unnoticed even though it is not read.
        if (!passedOver.isEmpty())
            deferWarning(SeveralDataFilesText(key, name, passedOver), Deferral::Notice);
        if (name.isEmpty())
            continue;
        DecryptFile(directory + name);
        // The readers look the working file up by its key; a stale file that
        // the lookup prefers would be read instead of this table.
        const QString made = WorkFileName(name);
        const QString found = FindDataFileName(u'D' + key.mid(1), directory);
        if (QFileInfo(directory + made).isFile() && found != made)
            deferWarning(QStringLiteral("作業ファイル %1 を読めません。データフォルダにある %2 が先に見つかります。%2 を移してから起動し直してください。")
                             .arg(made, found));
    }
}

QString CEnDecryption::WorkFileName(const QString& scrambledName)
{
    return u'D' + scrambledName.mid(1, 3) + QStringLiteral(".dat");
}

QByteArray CEnDecryption::Transform(const QByteArray& input)
{
    QByteArray out = input;
    unsigned char k = SeedByte;
    quint32 n = 0;
    for (qsizetype i = 0; i < out.size(); i += 2) {
        ++n;
        k = static_cast<unsigned char>(k + static_cast<unsigned char>(n * StepByte));
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^ k);
    }
    return out;
}

bool CEnDecryption::TransformFile(const QString& from, const QString& to, QString* error)
{
    // Read everything before the target is opened: with from == to, truncating
    // first would leave nothing to read and the file would be lost.
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = velmora::data::FileErrorText(in);
        return false;
    }
    const QByteArray bytes = Transform(in.readAll());
    in.close();
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = velmora::data::FileErrorText(out);
        return false;
    }
    if (out.write(bytes) != bytes.size()) {
        if (error)
            *error = velmora::data::FileErrorText(out);
        return false;
    }
    return true;
}

void CEnDecryption::DecryptFile(const QString& path)
{
    const QFileInfo source(path);
    if (!source.exists() || source.isDir())
        return;
    const QString workPath = source.absolutePath() + u'/' + WorkFileName(source.fileName());
    workFiles.append(workPath);

    // Truncate first, so a working file left by an interrupted run is replaced.
    QFile out(workPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        velmora::data::deferWarning(
            QStringLiteral("作業ファイルを作成できませんでした。データフォルダに書き込めるか確認してください。\r\nファイル名：%1\r\n%2")
                .arg(QDir::toNativeSeparators(workPath), velmora::data::FileErrorText(out)));
        return;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return;
    // Working files are small; decoding the whole file at once keeps every
    // unit at its position even if the system hands back short reads.
    const QByteArray plain = Transform(in.readAll());
    out.write(plain);
}

void CEnDecryption::DeleteWorkFiles()
{
    for (const QString& path : workFiles)
        QFile::remove(path);
}
