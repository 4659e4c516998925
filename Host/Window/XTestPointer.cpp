#include "XTestPointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace kelvane::host
{
XTestPointer::XTestPointer(Display* d) : display(d)
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;

    if (display == nullptr || !XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor))
        throw std::runtime_error("the X server offers no XTEST extension");
}

void XTestPointer::moveTo(int screenX, int screenY)
{
    XTestFakeMotionEvent(display, -1, screenX, screenY, CurrentTime);
    XSync(display, False);
}

void XTestPointer::press()
{
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
}

void XTestPointer::release()
{
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}
} // namespace kelvane::host
