#pragma once

#include <QString>

// The edition and version labels, read from the update checker's
// "chk_verup/version.ini" beside the executable (section "version", keys
// "name" and "ver"). A missing file or key reads as empty, so the labels then
// show only their fixed words. Needs QtCore only.
class CQuillonVersionIniManager
{
public:
    CQuillonVersionIniManager();
    // Reads the given file instead (tests).
    explicit CQuillonVersionIniManager(const QString& path);

    // "2015年05月版" from a name ending in 201505. Only the last six
    // characters of the name count; a shorter name is taken whole, so "2015"
    // gives "2015年月版" and an empty name "年月版".
    QString EditionText() const;
    // "Ver." + ver + " Pro".
    QString VersionText() const;
    // "本ツールは" + EditionText() + "です。"
    QString ExplainText() const;

    // "chk_verup/version.ini" in the executable's folder.
    static QString DefaultPath();

private:
    QString name;
    QString ver;
};
