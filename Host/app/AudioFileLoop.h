// An audio file played in a loop, read a block at a time as it plays, so that the window's playback holds no
// more of a track than one block whatever the track's length.
#pragma once

#include "AudioFiles.h"

#include <cstdint>
#include <memory>
#include <vector>

class AudioFileLoop
{
public:
    // Plays `file` from `startFrame` (below its frames()) on. Throws HostError when the file holds no audio or
    // cannot be read from there.
    AudioFileLoop(std::unique_ptr<AudioFileReader> file, int64_t startFrame);

    // The next `frames` frames, into one array per channel. The k-th frame handed out since the start is the
    // file's frame (startFrame + k) mod frames(), so a file shorter than a block repeats within it. Throws
    // HostError when the file no longer holds the frames it held when it was opened (cut short meanwhile).
    void read(float* const* channels, int frames);

private:
    std::unique_ptr<AudioFileReader> mFile;
    int64_t mPosition = 0; // the file's next frame
    std::vector<float> mInterleaved;
};
