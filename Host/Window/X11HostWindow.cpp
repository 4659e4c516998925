#include "X11HostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "HostError.h"

namespace kelvane::host
{
namespace
{
int shiftOf(unsigned long mask)
{
    int shift = 0;

    while (mask != 0 && (mask & 1) == 0)
    {
        mask >>= 1;
        ++shift;
    }

    return shift;
}

std::uint8_t channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;

    const auto maximum = mask >> shiftOf(mask);
    return static_cast<std::uint8_t>(((pixel & mask) >> shiftOf(mask)) * 255 / maximum);
}
} // namespace

X11HostWindow::X11HostWindow(const std::string& title) : currentWidth(1), currentHeight(1)
{
    connection = XOpenDisplay(nullptr);

    if (connection == nullptr)
        throw HostError("cannot open the X display (is DISPLAY set?)");

    const int screen = DefaultScreen(connection);
    window = XCreateSimpleWindow(connection, RootWindow(connection, screen), 0, 0, 1, 1, 0,
                                 BlackPixel(connection, screen), BlackPixel(connection, screen));
    XStoreName(connection, window, title.c_str());
    XSelectInput(connection, window, StructureNotifyMask);

    deleteWindowAtom = XInternAtom(connection, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {deleteWindowAtom};
    XSetWMProtocols(connection, window, protocols, 1);
    XSync(connection, False);
}

void X11HostWindow::show(int width, int height)
{
    resize(width, height);
    XMapWindow(connection, window);

    XEvent event;
    do
        XWindowEvent(connection, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
}

X11HostWindow::~X11HostWindow()
{
    XDestroyWindow(connection, window);
    XCloseDisplay(connection);
}

void X11HostWindow::resize(int newWidth, int newHeight)
{
    if (newWidth <= 0 || newHeight <= 0)
        return;

    currentWidth = newWidth;
    currentHeight = newHeight;
    XResizeWindow(connection, window, static_cast<unsigned>(newWidth), static_cast<unsigned>(newHeight));
    XFlush(connection);
}

void X11HostWindow::readEvents()
{
    while (XPending(connection) > 0)
    {
        XEvent event;
        XNextEvent(connection, &event);

        if (event.type == ClientMessage && static_cast<unsigned long>(event.xclient.data.l[0]) == deleteWindowAtom)
            closeWasRequested = true;
    }
}

void X11HostWindow::screenPosition(int& x, int& y) const
{
    ::Window child = 0;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &x, &y, &child);
}

RgbImage X11HostWindow::capture() const
{
    XSync(connection, False);
    XImage* shot = XGetImage(connection, window, 0, 0, static_cast<unsigned>(currentWidth),
                             static_cast<unsigned>(currentHeight), AllPlanes, ZPixmap);

    if (shot == nullptr)
        return {};

    RgbImage image(currentWidth, currentHeight);

    for (int y = 0; y < currentHeight; ++y)
    {
        for (int x = 0; x < currentWidth; ++x)
        {
            const auto value = XGetPixel(shot, x, y);
            auto* out = image.pixel(x, y);
            out[0] = channel(value, shot->red_mask);
            out[1] = channel(value, shot->green_mask);
            out[2] = channel(value, shot->blue_mask);
        }
    }

    XDestroyImage(shot);
    return image;
}
} // namespace kelvane::host
