#pragma once

#include "Paths.h"

#include <QString>
#include <QStringList>
#include <optional>

// The district list and the default district chosen at start-up. A district's
// position in the list is its number everywhere else: line i of the district
// prices belongs to district i.
namespace velmora::data {

// The district selected when no saved default names one of the list.
constexpr int FallbackDistrictIndex = 3;

// "F_chiku.ini", in the executable's folder (not the data folder).
QString DefaultDistrictFilePath(const QString& exeDirectory = Paths::exeDirectory());

// The districts of "DA01" in the data folder, its heading dropped; every line
// is one district, taken whole. FileOpenError when the file cannot be opened.
QStringList LoadDistrictList(const QString& dataDirectory = Paths::dataDirectory());

// The saved default district; nullopt when "F_chiku.ini" does not exist, the
// empty text when it lacks the key.
std::optional<QString> ReadSavedDistrict(const QString& exeDirectory = Paths::exeDirectory());

// The index to select: the first district equal to the saved text without
// regard to case, otherwise FallbackDistrictIndex, or -1 (nothing) when the
// list is too short for that. An empty saved text names no district.
int ChooseDistrictIndex(const QStringList& districts, const std::optional<QString>& saved);

// Writes `district` as the default into "F_chiku.ini", keeping every other
// section and key of the file and its encoding (a new file, or one without a
// byte-order mark, in CP932). Raises velmora::Error naming the full path and
// the reason when the file cannot be read or written; the old file then
// stays as it was.
void SaveDefaultDistrict(const QString& exeDirectory, const QString& district);

} // namespace velmora::data
