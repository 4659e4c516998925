// MIDI data as it reaches an algorithm: packets of at most four bytes, grouped per node into streams.
#pragma once

#include "AAX.h"

// One MIDI message. The library only passes packets through; their layout is shared with the host.
struct AAX_CMidiPacket
{
    uint32_t mTimestamp = 0;     // sample offset within the block
    uint32_t mLength = 0;        // number of valid bytes in mData
    unsigned char mData[4] = {}; // the message bytes
    AAX_CBoolean mIsImmediate = 0;
};

// The packets a MIDI node received for one block.
struct AAX_CMidiStream
{
    uint32_t mBufferSize = 0;           // number of packets
    AAX_CMidiPacket* mBuffer = nullptr; // the packets
};

// A MIDI node field of an algorithm's context.
class AAX_IMIDINode
{
public:
    virtual ~AAX_IMIDINode() {}

    virtual AAX_CMidiStream* GetNodeBuffer() = 0;
    virtual AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) = 0;
};
