#pragma once

// Synthetic mouse input through the X server's XTEST extension: what a user's pointer would do, in
// coordinates of a host window.
typedef struct _XDisplay Display;

namespace kelvane::host
{
class XTestPointer
{
public:
    /** Uses the host window's connection; throws std::runtime_error when the server lacks XTEST. */
    explicit XTestPointer(Display* display);

    void moveTo(int screenX, int screenY);
    void press();
    void release();

private:
    Display* display;
};
} // namespace kelvane::host
