#include "support/DamagedFiles.h"

#include "data/CEnDecryption.h"
#include "data/IniFile.h"

#include <QRandomGenerator>

namespace velmora::test {

namespace {

bool IsTable(const QString& relative)
{
    return relative.endsWith(QStringLiteral(".dat"));
}

// The file's text as its reader sees it.
QString TextOf(const QString& relative, const QByteArray& bytes)
{
    if (IsTable(relative)) {
        const QByteArray plain = CEnDecryption::Transform(bytes);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(plain.constData()), plain.size() / 2);
    }
    return velmora::data::IniFile::decode(bytes, velmora::data::IniFile::Decode::FromMark);
}

} // namespace

const QStringList& DeploymentTables()
{
    static const QStringList tables = {
        QStringLiteral("dat/EA01.dat"), QStringLiteral("dat/EB01.dat"), QStringLiteral("dat/ET02.dat"),
        QStringLiteral("dat/ES24.dat"), QStringLiteral("dat/ER01.dat"), QStringLiteral("dat/ES22.dat"),
        QStringLiteral("dat/ESP2.dat"), QStringLiteral("dat/ET19.dat"), QStringLiteral("dat/EC01.dat"),
    };
    return tables;
}

const QStringList& DeploymentIniFiles()
{
    static const QStringList files = {
        QStringLiteral("dat/DTTankaSuryo.ini"),           QStringLiteral("dat/SyobunjoKikakuSource.ini"),
        QStringLiteral("dat/Himoku_RowSource.ini"),       QStringLiteral("dat/Syubetsu_RowSource.ini"),
        QStringLiteral("dat/SPHimoku_RowSource.ini"),     QStringLiteral("dat/SPSyubetsu_RowSource.ini"),
        QStringLiteral("dat/SPGaraHassei_RowSource.ini"), QStringLiteral("dat/SPTsumikomiKubun_RowSource.ini"),
    };
    return files;
}

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> damages = {
        {"missing", [](const QString&, const QByteArray&) { return std::optional<QByteArray>(); }},
        {"empty", [](const QString&, const QByteArray&) { return std::optional<QByteArray>(QByteArray()); }},
        // A copy broken off in the middle of a UTF-16 unit.
        {"cut odd", [](const QString&, const QByteArray& b) { return std::optional<QByteArray>(b.left((b.size() / 2) | 1)); }},
        {"random",
         [](const QString& relative, const QByteArray& b) {
             QRandomGenerator random(static_cast<quint32>(qHash(relative)));
             QByteArray noise(b.size(), Qt::Uninitialized);
             for (char& c : noise)
                 c = static_cast<char>(random.bounded(256));
             return std::optional<QByteArray>(noise);
         }},
        // Tables saved in the ANSI code page instead of UTF-16; INI files in
        // UTF-8 without a mark, which reads as CP932 garbage.
        {"encoding",
         [](const QString& relative, const QByteArray& b) {
             const QString text = TextOf(relative, b);
             return std::optional<QByteArray>(IsTable(relative) ? CEnDecryption::Transform(velmora::data::EncodeCp932(text))
                                                                : text.toUtf8());
         }},
    };
    return damages;
}

bool ApplyDamage(const TempDeployment& deployment, const QString& relative, const Damage& damage)
{
    const std::optional<QByteArray> bytes = damage.apply(relative, deployment.readBytes(relative));
    if (!bytes) {
        deployment.remove(relative);
        return false;
    }
    deployment.writeBytes(relative, *bytes);
    return true;
}

QString FormatMatrix(const QString& title, const QList<MatrixRow>& rows, int cellWidth)
{
    QString text = u'\n' + title + u'\n';
    text += QStringLiteral("%1").arg(QStringLiteral("file"), -36);
    for (const Damage& d : Damages())
        text += QStringLiteral("%1").arg(QString::fromLatin1(d.name), -cellWidth);
    text += u'\n';
    for (const MatrixRow& row : rows) {
        text += QStringLiteral("%1").arg(row.file, -36);
        for (const QString& cell : row.cells)
            text += QStringLiteral("%1").arg(cell, -cellWidth);
        text += u'\n';
    }
    return text;
}

} // namespace velmora::test
