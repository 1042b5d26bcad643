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
    const QString directory = Paths::dataDirectory();
    for (const QString& key : ScrambledKeys()) {
        const QStringList names = velmora::data::DataFilesHolding(key, directory);
        // A copy left beside a table (a backup, a file saved again under
        // another name) must not go unnoticed even though it is not read.
        if (names.size() > 1)
            velmora::data::deferWarning(velmora::data::SeveralDataFilesText(key, names), velmora::data::Deferral::Notice);
        DecryptFile(directory + names.value(0));
    }
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
    const QString name = source.fileName();
    const QString workPath = source.absolutePath() + u'/' + u'D' + name.mid(1);
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
