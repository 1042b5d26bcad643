#include "DefaultDistrict.h"

#include "Error.h"
#include "FileErrorText.h"
#include "FindDataFileName.h"
#include "IniFile.h"
#include "TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::data {
namespace {

const QString Section = QStringLiteral("Velmora");
const QString Key = QStringLiteral("地区");

QString withSeparator(const QString& directory)
{
    return directory.endsWith(u'/') || directory.endsWith(u'\\') ? directory : directory + u'/';
}

} // namespace

QString DefaultDistrictFilePath(const QString& exeDirectory)
{
    return withSeparator(exeDirectory) + QStringLiteral("F_chiku.ini");
}

QStringList LoadDistrictList(const QString& dataDirectory)
{
    const QString directory = withSeparator(dataDirectory);
    QStringList districts = ReadLineFile(directory + FindDataFileName(QStringLiteral("DA01"), directory));
    if (!districts.isEmpty())
        districts.removeFirst();
    return districts;
}

std::optional<QString> ReadSavedDistrict(const QString& exeDirectory)
{
    const QString path = DefaultDistrictFilePath(exeDirectory);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return IniFile::load(path).value(Section, Key);
}

int ChooseDistrictIndex(const QStringList& districts, const std::optional<QString>& saved)
{
    if (saved && !saved->isEmpty()) {
        for (qsizetype i = 0; i < districts.size(); ++i)
            if (districts.at(i).compare(*saved, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
    }
    return districts.size() > FallbackDistrictIndex ? FallbackDistrictIndex : -1;
}

void SaveDefaultDistrict(const QString& exeDirectory, const QString& district)
{
    const QString path = DefaultDistrictFilePath(exeDirectory);
    const IniFile loaded = IniFile::load(path);
    // Writing over a file we could not read would throw its other settings away.
    if (!loaded.exists() && QFileInfo::exists(path)) {
        QFile probe(path);
        const QString reason = QFileInfo(path).isDir() || probe.open(QIODevice::ReadOnly)
                                   ? QStringLiteral("ファイルではありません。")
                                   : FileErrorText(probe);
        throw FileOpenError(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
    }
    IniFile ini = loaded;
    ini.setValue(Section, Key, district);
    QString error;
    if (!ini.save(path, &error))
        throw Error(error);
}

} // namespace velmora::data
