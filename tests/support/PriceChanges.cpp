#include "support/PriceChanges.h"

#include <QStringList>

namespace velmora::test {

namespace {

QStringList Lines(const TempDeployment& d, const QString& file)
{
    return d.readScrambled(file).split(QStringLiteral("\r\n"));
}

void EditCells(const TempDeployment& d, const QString& file, const std::function<void(QStringList&)>& edit)
{
    QStringList lines = Lines(d, file);
    for (QString& line : lines) {
        QStringList cells = line.split(u',');
        edit(cells);
        line = cells.join(u',');
    }
    d.writeScrambled(file, lines.join(QStringLiteral("\r\n")));
}

} // namespace

std::vector<PriceChange> PriceChangesAround(const TempDeployment& sample, const QString& name, const QString& fee,
                                           const QString& cost)
{
    // The site's key in the coordinates table, from its line in the fees.
    QString key;
    for (const QString& line : Lines(sample, QStringLiteral("ET19.dat")))
        if (line.contains(u',' + name + u','))
            key = line.split(u',').value(5);
    const int newFee = fee.toInt() + 1000;
    return {
        {[](const TempDeployment&) {}, QString()},
        {[=](const TempDeployment& d) {
             EditCells(d, QStringLiteral("ET19.dat"), [&](QStringList& cells) {
                 const qsizetype at = cells.indexOf(QStringLiteral("m3")) - 1;
                 if (cells.contains(name) && at >= 0 && cells.at(at) == fee)
                     cells[at] = QString::number(newFee);
             });
         },
         QStringLiteral("（処分費 %1 → %2）").arg(fee).arg(newFee)},
        {[](const TempDeployment& d) {
             d.writeScrambled(QStringLiteral("ER01.dat"), d.readScrambled(QStringLiteral("ER01.dat"))
                                                              .replace(QStringLiteral("23000"), QStringLiteral("30000")));
         },
         QStringLiteral("（運搬費 %1 → ").arg(cost)},
        // Every band price of the package table up by 100 yen.
        {[](const TempDeployment& d) {
             EditCells(d, QStringLiteral("ESP2.dat"), [](QStringList& cells) {
                 if (cells.size() >= 6 && cells.at(4).startsWith(u'R'))
                     cells[5] = QString::number(cells.at(5).toInt() + 100);
             });
         },
         QStringLiteral("（運搬費 %1 → ").arg(cost)},
        // The site 8 km further north.
        {[=](const TempDeployment& d) {
             EditCells(d, QStringLiteral("EC01.dat"), [&](QStringList& cells) {
                 if (cells.size() > 2 && cells.at(1) == key)
                     cells[2] = QString::number(cells.at(2).toDouble() + 8000, 'f', 1);
             });
         },
         name + QStringLiteral(": ")},
    };
}

} // namespace velmora::test
