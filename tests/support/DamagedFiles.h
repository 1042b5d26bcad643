#pragma once

#include "support/TempDeployment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmora::test {

// The shipped files a deployment cannot do without, relative to the exe
// folder: the scrambled tables and the INI files beside them.
const QStringList& DeploymentTables();
const QStringList& DeploymentIniFiles();

// A damage turns a file's bytes into what lands on an estimator's machine
// (half-copied, edited by hand, saved in the wrong encoding); nullopt: the
// file is not there at all.
struct Damage
{
    const char* name;
    std::function<std::optional<QByteArray>(const QString& relative, const QByteArray& bytes)> apply;
};
const std::vector<Damage>& Damages();

// Damages one file of the deployment in place. False when the file is gone.
bool ApplyDamage(const TempDeployment& deployment, const QString& relative, const Damage& damage);

// A file-by-damage table for the CI log: a header row of damage names, one
// row per file.
struct MatrixRow
{
    QString file;
    QStringList cells;
};
QString FormatMatrix(const QString& title, const QList<MatrixRow>& rows, int cellWidth = 10);

} // namespace velmora::test
