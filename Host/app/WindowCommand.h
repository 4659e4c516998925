// `kelvane_host window`: the plug-in's window opened on the current X display the way a host opens it, with
// audio running through the instance on a thread of its own, for a given time or until the window is
// closed; the window can be captured to a PNG file.
#pragma once

#include <string>
#include <vector>

// Throws HostError for bad arguments, a missing display, or a plug-in that fails.
int runWindowCommand(const std::vector<std::string>& arguments);

// The lines of the usage text that describe the window command.
const char* windowUsage();
