#include "support/TempDeployment.h"

#include "data/CEnDecryption.h"
#include "data/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace velmora::test {

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::remove(target);
            if (!QFile::copy(source, target))
                throw std::runtime_error("cannot copy the sample deployment");
            QFile(target).setPermissions(QFile(source).permissions() | QFileDevice::WriteOwner);
        }
    }
}

} // namespace

TempDeployment::TempDeployment()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("dat"));
    velmora::data::Paths::setExeDirectory(exeDir());
    velmora::data::Paths::setDataDirectory(dataDir());
}

TempDeployment::~TempDeployment()
{
    velmora::data::Paths::reset();
}

bool TempDeployment::isValid() const
{
    return m_dir.isValid();
}

QString TempDeployment::exeDir() const
{
    return QDir(m_dir.path()).absolutePath() + QLatin1Char('/');
}

QString TempDeployment::dataDir() const
{
    return exeDir() + QStringLiteral("dat/");
}

QString TempDeployment::path(const QString& relative) const
{
    return exeDir() + relative;
}

void TempDeployment::writeBytes(const QString& relative, const QByteArray& bytes) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray TempDeployment::utf16le(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

void TempDeployment::writeWorking(const QString& fileName, const QString& text) const
{
    writeBytes(QStringLiteral("dat/") + fileName, utf16le(text));
}

void TempDeployment::writeScrambled(const QString& fileName, const QString& text) const
{
    writeBytes(QStringLiteral("dat/") + fileName, CEnDecryption::Transform(utf16le(text)));
}

QString TempDeployment::readScrambled(const QString& fileName) const
{
    const QByteArray plain = CEnDecryption::Transform(readBytes(QStringLiteral("dat/") + fileName));
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(plain.constData()), plain.size() / 2);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void TempDeployment::writeIni(const QString& relative, const QString& text,
                              velmora::data::IniEncoding encoding) const
{
    using velmora::data::IniEncoding;
    QByteArray bytes;
    switch (encoding) {
    case IniEncoding::Cp932:
        bytes = velmora::data::EncodeCp932(text);
        break;
    case IniEncoding::Utf8Bom:
        bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        break;
    case IniEncoding::Utf8:
        bytes = text.toUtf8();
        break;
    case IniEncoding::Utf16LeBom:
        bytes = QByteArray("\xFF\xFE", 2) + utf16le(text);
        break;
    case IniEncoding::Utf16BeBom: {
        bytes = QByteArray("\xFE\xFF", 2);
        for (QChar c : text) {
            bytes.append(static_cast<char>(c.unicode() >> 8));
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
        }
        break;
    }
    }
    writeBytes(relative, bytes);
}

QByteArray TempDeployment::readBytes(const QString& relative) const
{
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempDeployment::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
}

void TempDeployment::remove(const QString& relative) const
{
    QFile::remove(path(relative));
}

QStringList TempDeployment::dataFiles() const
{
    return QDir(dataDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString TempDeployment::sampleDeploymentDir()
{
    return QStringLiteral(VELMORA_BIN_DIR);
}

void TempDeployment::copySampleDeployment() const
{
    const QString sample = sampleDeploymentDir();
    for (const char* sub : {"dat", "status", "chk_verup"}) {
        const QString name = QString::fromLatin1(sub);
        if (QFileInfo(sample + QLatin1Char('/') + name).isDir())
            copyTree(sample + QLatin1Char('/') + name, exeDir() + name);
    }
}

} // namespace velmora::test
