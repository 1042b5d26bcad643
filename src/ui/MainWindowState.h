#pragma once

#include <QString>

class CDisplayCalcResultList;

namespace velmora::ui {

// The state the main window shares between its panels and the web handlers.
// The window inherits it, so every handler reads the same fields by name.
struct MainWindowState
{
    // Grid row of the site last selected; the row Enter acts on.
    int selectedRow = -1;
    // 1 construction-package method, 0 labour-rate method.
    int calcMode = 0;
    // 0 by amount, 1 by distance.
    int sortMode = 0;
    // The driver's list last shown in the grid; not owned.
    CDisplayCalcResultList* resultList = nullptr;
    // Cost item of the previous calculation.
    int lastCalcCostItem = 0;
    QString lastNavigatedUrl;
    int mapKind = 0;
    bool routeSent = false;
};

} // namespace velmora::ui
