#include "Taskbar.h"

#include <windows.h>
#include <shellapi.h>

namespace velmora::platform::win {

int TaskbarHeight()
{
    APPBARDATA data {};
    data.cbSize = sizeof(data);
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data))
        return 0;
    return StripHeight(data.rc.left, data.rc.top, data.rc.right, data.rc.bottom);
}

int StripHeight(long left, long top, long right, long bottom)
{
    const long width = right - left;
    const long height = bottom - top;
    if (height <= 0 || width <= height)
        return 0;
    return static_cast<int>(height);
}

} // namespace velmora::platform::win
