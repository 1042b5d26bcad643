#include "CQuillonVersionIniManager.h"

#include "data/IniFile.h"
#include "data/Paths.h"

CQuillonVersionIniManager::CQuillonVersionIniManager()
    : CQuillonVersionIniManager(DefaultPath())
{
}

CQuillonVersionIniManager::CQuillonVersionIniManager(const QString& path)
{
    const auto ini = velmora::data::IniFile::load(path);
    name = ini.value(QStringLiteral("version"), QStringLiteral("name"));
    ver = ini.value(QStringLiteral("version"), QStringLiteral("ver"));
}

QString CQuillonVersionIniManager::DefaultPath()
{
    return velmora::data::Paths::exeDirectory() + QStringLiteral("chk_verup/version.ini");
}

QString CQuillonVersionIniManager::EditionText() const
{
    const QString yearMonth = name.right(6);
    return yearMonth.left(4) + QStringLiteral("年") + yearMonth.mid(4, 2) + QStringLiteral("月版");
}

QString CQuillonVersionIniManager::VersionText() const
{
    return QStringLiteral("Ver.") + ver + QStringLiteral(" Pro");
}

QString CQuillonVersionIniManager::ExplainText() const
{
    return QStringLiteral("本ツールは") + EditionText() + QStringLiteral("です。");
}
