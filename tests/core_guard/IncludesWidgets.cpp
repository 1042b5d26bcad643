// Built only by the CoreHasNoWidgets test, which expects this to fail: the
// core library must not hand its users a path to the widget headers, so the
// calculator and the core tests can never grow a dependency on a display.
#include <QWidget>

int coreGuardProbe()
{
    return sizeof(QWidget);
}
