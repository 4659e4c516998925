// Builds, measures, writes and reads the data of the library's parameter-values chunk: typed entries
// keyed by parameter ID, values big-endian, behind a 4-byte marker.
#pragma once

#include "AAX.h"
#include "AAX_CString.h"

#include <vector>

struct AAX_SPlugInChunk;

class AAX_CChunkDataParser
{
public:
    // Entry types; the tag letter written before each entry's name is given beside each.
    enum EDataType : int32_t
    {
        kDataType_None = 0,
        kDataType_Float = 1,  // "f_"
        kDataType_Int32 = 2,  // "l_"
        kDataType_Double = 3, // "d_"
        kDataType_Int16 = 4,  // "s_"
        kDataType_String = 5  // "r_"
    };

    // One entry: its type, its name (the parameter ID without the tag) and its value.
    class DataValue
    {
    public:
        DataValue();

        int32_t mDataType;
        AAX_CString mDataName;
        int64_t mIntValue; // a double's bits, or a 32-bit or 16-bit value in the low part
        AAX_CString mStringValue;
    };

    AAX_CChunkDataParser();
    virtual ~AAX_CChunkDataParser();

    void Clear();

    void AddDouble(const char name[], double value);
    void AddInt32(const char name[], int32_t value);
    void AddString(const char name[], AAX_CString value);

    // True with value set when an entry of that name exists and has the asked type.
    bool FindDouble(const char name[], double* value);
    bool FindInt32(const char name[], int32_t* value);
    bool FindString(const char name[], AAX_CString* value);

    // Index of the entry with this name, searching on from the last hit; -1 when none.
    int32_t FindName(const AAX_CString& name);

    // Bytes the entries take when written, marker included.
    int32_t GetChunkDataSize() const;
    // Writes the entries into chunk's data and its data size; 0, or -333 when they do not fit.
    int32_t GetChunkData(AAX_SPlugInChunk* chunk) const;
    // Replaces the entries with those read from chunk; a chunk without the marker gives none. Nothing is
    // read past the chunk's data size: an entry cut short by it is dropped, with everything after it.
    void LoadChunk(const AAX_SPlugInChunk* chunk);
    // True when chunk has a data size of at least 4 and begins with the marker; only then does it hold
    // entries (exactly 4 bytes: none).
    static bool IsWellFormed(const AAX_SPlugInChunk* chunk);

    int32_t GetChunkVersion() const { return mChunkVersion; }

protected:
    int32_t mLastFoundIndex;
    int32_t mChunkVersion;
    std::vector<DataValue> mDataValues;
};
