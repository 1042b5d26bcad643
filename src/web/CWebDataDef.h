#pragma once

#include "data/Error.h"
#include "data/IniFile.h"

#include <QString>
#include <QStringList>
#include <boost/shared_ptr.hpp>
#include <vector>

namespace velmora::web {

// The definitions file is missing (or cannot be read). message() is the
// start-up error text, with a bare line feed; the main window shows it in the
// "起動エラー" box and ends the process with exit code 1.
class WebDataDefMissing : public velmora::Error
{
public:
    explicit WebDataDefMissing(const QString& fileName);
    // The file-name part of the path ("WebDataDef.ini").
    const QString& fileName() const noexcept { return m_fileName; }

private:
    QString m_fileName;
};

// "status/WebDataDef.ini" in the executable's folder.
QString DefaultWebDataDefPath();

// The office's own definitions: "velmora/WebDataDef.ini" in the user's
// configuration folder, then in the machine's (XDG_CONFIG_HOME, then
// XDG_CONFIG_DIRS; on Windows the user's and the shared AppData), the
// existing ones, first the one that wins. Neither an installation nor an
// upgrade, nor the user's copy of the deployment, ever writes them.
QStringList OfficeWebDataDefPaths();

} // namespace velmora::web

// The read-only view of the web-site definitions: every address, address part,
// scan pattern and script address the web steps use. A section counts as
// present only when it holds at least one entry line; an absent section reads
// as empty text, tests false and leaves a list untouched. Comparisons are
// exact and case-sensitive; section and key names are not.
class CWebDataDef
{
public:
    // Reads the whole file once; a missing file reads as empty. Each file of
    // `overrides` (first wins) replaces what it names: a key of a section
    // key by key, a list section as a whole.
    explicit CWebDataDef(const QString& path, const QStringList& overrides = {});
    // Definitions already in memory (tests of the web steps).
    static CWebDataDef fromIni(velmora::data::IniFile ini);
    // False when the file could not be read.
    bool IsLoaded() const { return ini.exists(); }

    QString ReadValue(const QString& section, const QString& key) const;
    // Replaces *lines with the section's entry lines (each taken whole, "="
    // or not); an absent section or a null list changes nothing.
    void ReadSectionLines(const QString& section, QStringList* lines) const;
    bool ValueEquals(const QString& section, const QString& key, const QString& candidate) const;
    // Whether the value occurs in the candidate; an empty value never does.
    bool ContainsValue(const QString& section, const QString& key, const QString& candidate) const;
    bool LineEquals(const QString& section, const QString& candidate) const;
    // Whether some entry line occurs in the candidate.
    bool ContainsLine(const QString& section, const QString& candidate) const;

private:
    CWebDataDef() = default;
    // Whether any of the files has the section.
    bool HasSection(const QString& section) const;
    // The lines of the section from the first file that has it.
    QStringList SectionLines(const QString& section) const;

    velmora::data::IniFile ini;
    std::vector<velmora::data::IniFile> overrides;
};

// The one process-wide instance. The first call tests that `path` exists and
// reads it, with the office's definitions (OfficeWebDataDefPaths) over it; later calls return that instance and ignore their path. Raises
// velmora::web::WebDataDefMissing (nothing is stored) when the path is not a
// readable file.
boost::shared_ptr<CWebDataDef> CreateSharedWebDataDef(const QString& path);
// The instance; empty before CreateSharedWebDataDef.
boost::shared_ptr<CWebDataDef> GetSharedWebDataDef();
// Drops the process's reference so the next Create reads again (tests only);
// holders keep their instance alive.
void ResetSharedWebDataDefForTesting();
// Installs a ready-made instance (tests of the web steps).
void SetSharedWebDataDefForTesting(boost::shared_ptr<CWebDataDef> instance);
