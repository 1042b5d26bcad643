#include "CWebDataDef.h"

#include "WebDataDefNames.h"
#include "data/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

namespace velmora::web {

WebDataDefMissing::WebDataDefMissing(const QString& fileName)
    : Error(QStringLiteral("ファイルを開く事ができませんでした。\nファイル名：") + fileName)
    , m_fileName(fileName)
{
}

QString DefaultWebDataDefPath()
{
    return velmora::data::Paths::exeDirectory() + names::Folder + u'/' + names::FileName;
}

QStringList OfficeWebDataDefPaths()
{
    return QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                     QStringLiteral("velmora/") + names::FileName, QStandardPaths::LocateFile);
}

} // namespace velmora::web

namespace {

boost::shared_ptr<CWebDataDef> g_shared;

} // namespace

CWebDataDef::CWebDataDef(const QString& path, const QStringList& officeFiles)
    : ini(velmora::data::IniFile::load(path))
{
    for (const QString& file : officeFiles) {
        velmora::data::IniFile office = velmora::data::IniFile::load(file);
        if (office.exists())
            overrides.push_back(std::move(office));
    }
}

CWebDataDef CWebDataDef::fromIni(velmora::data::IniFile ini)
{
    CWebDataDef def;
    def.ini = std::move(ini);
    return def;
}

bool CWebDataDef::HasSection(const QString& section) const
{
    return ini.hasSection(section)
           || std::any_of(overrides.cbegin(), overrides.cend(), [&](const auto& o) { return o.hasSection(section); });
}

QStringList CWebDataDef::SectionLines(const QString& section) const
{
    for (const velmora::data::IniFile& o : overrides)
        if (o.hasSection(section))
            return o.sectionLines(section);
    return ini.sectionLines(section);
}

QString CWebDataDef::ReadValue(const QString& section, const QString& key) const
{
    for (const velmora::data::IniFile& o : overrides)
        if (o.hasSection(section) && o.hasKey(section, key))
            return o.value(section, key);
    if (!ini.hasSection(section))
        return QString();
    return ini.value(section, key);
}

void CWebDataDef::ReadSectionLines(const QString& section, QStringList* lines) const
{
    if (!lines || !HasSection(section))
        return;
    *lines = SectionLines(section);
}

bool CWebDataDef::ValueEquals(const QString& section, const QString& key, const QString& candidate) const
{
    return HasSection(section) && ReadValue(section, key) == candidate;
}

bool CWebDataDef::ContainsValue(const QString& section, const QString& key, const QString& candidate) const
{
    if (!HasSection(section))
        return false;
    const QString value = ReadValue(section, key);
    return !value.isEmpty() && candidate.contains(value, Qt::CaseSensitive);
}

bool CWebDataDef::LineEquals(const QString& section, const QString& candidate) const
{
    if (!HasSection(section))
        return false;
    const QStringList lines = SectionLines(section);
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString& line) { return line == candidate; });
}

bool CWebDataDef::ContainsLine(const QString& section, const QString& candidate) const
{
    if (!HasSection(section))
        return false;
    const QStringList lines = SectionLines(section);
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&](const QString& line) { return candidate.contains(line, Qt::CaseSensitive); });
}

boost::shared_ptr<CWebDataDef> CreateSharedWebDataDef(const QString& path)
{
    if (g_shared)
        return g_shared;
    const QString fileName = QFileInfo(path).fileName();
    boost::system::error_code ec;
    const boost::filesystem::path native(QFile::encodeName(path).toStdString());
    // A folder of that name or an unreadable file is as good as none: without
    // the definitions no web step can work.
    if (!boost::filesystem::exists(native, ec) || boost::filesystem::is_directory(native, ec))
        throw velmora::web::WebDataDefMissing(fileName);
    auto def = boost::make_shared<CWebDataDef>(path, velmora::web::OfficeWebDataDefPaths());
    if (!def->IsLoaded())
        throw velmora::web::WebDataDefMissing(fileName);
    g_shared = def;
    return g_shared;
}

boost::shared_ptr<CWebDataDef> GetSharedWebDataDef() { return g_shared; }

void ResetSharedWebDataDefForTesting() { g_shared.reset(); }

void SetSharedWebDataDefForTesting(boost::shared_ptr<CWebDataDef> instance) { g_shared = std::move(instance); }
