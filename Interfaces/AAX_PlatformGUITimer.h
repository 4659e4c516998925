// The GUI timer's reach into the platform, where the host runs no loop that dispatches the plug-in's window
// events (Linux): the GUI base's TimerWakeup calls AAXPlatformGUITimerWakeup when the plug-in links one,
// and the platform layer that defines it runs the window's pending events there. Where nothing defines it
// (macOS, where the host's run loop does this; or a build without windows) the address is null and the
// call is left out. Hidden, so the bundle never exports or imports it.
#pragma once

extern "C" __attribute__((weak, visibility("hidden"))) void AAXPlatformGUITimerWakeup();
