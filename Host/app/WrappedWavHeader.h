// A WAV file past 4 GiB from a tool that wrote it anyway: its 32-bit sizes wrapped round, so its header
// promises less audio than the file holds, and every reader takes it for a short track. It is read as its
// header says (libsndfile does so), but never without saying so.
#pragma once

#include <string>

// The warning for `path` when it is a WAV file (RIFF) that holds at least 4 GiB more after its data chunk's
// start than the chunk's size says: what the header says and what the file holds. Empty for any other file,
// and for one that cannot be read (reading it fails elsewhere, with its own message).
std::string wrappedWavHeaderWarning(const std::string& path);
