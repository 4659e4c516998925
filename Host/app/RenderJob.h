// `kelvane_host render`: an audio file through the plug-in bundle, block by block, as a host plays a track
// through an insert: parameter values and saved settings applied first, automation and the host's bypass
// applied between blocks, saved settings written at the end.
#pragma once

#include "OutputContainer.h"
#include "RenderOptions.h"
#include "ReplacingFiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct RenderSummary
{
    int64_t frames = 0;
    int channels = 0;
    int sampleRate = 0;
    AudioContainer container = AudioContainer::Wav;
    // What the render went through without failing but the user should know: one line each.
    std::vector<std::string> warnings;
    // Files beside the written ones that look left by a run stopped by force (leftoverNotices).
    std::vector<std::string> leftovers;
};

// Throws HostError when a file to be written lies inside the plug-in bundle at `bundlePath` (its folder, the
// *.aaxplugin folder around its shared object, or that file alone), compared where the paths lead: the run
// would replace the plug-in's own files.
void refuseWritingIntoBundle(const std::string& bundlePath, const std::vector<RoleAndPath>& written);

// The sample rates an AAX host runs at.
const std::vector<int>& hostSampleRates();

// Throws HostError for bad input (files, rates, channel counts, parameter IDs, chunks, an output that is the
// input) and for a plug-in that fails; the output file (and every chunk file) is then left as it was.
RenderSummary render(const RenderOptions& options);
