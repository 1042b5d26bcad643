#pragma once

#include "calc/ResultPlaces.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace velmora::ui {

// The location map (位置図) of the evidence sheet: the job site and every
// listed site drawn from their plane coordinates (zone VI, north up), the
// job site and the first-ranked site named, the 60 km circle where it
// crosses the frame, a scale bar, a north arrow and where the positions come
// from. Ranks are told by fill and number, never by colour alone, so that
// the figure reads the same printed in grey.
void DrawLocationFigure(QPainter& painter, const QRectF& area, const velmora::calc::ResultPlaces& places);

// The heading of the figure.
QString LocationFigureTitle();

} // namespace velmora::ui
