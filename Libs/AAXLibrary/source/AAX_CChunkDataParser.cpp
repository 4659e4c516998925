#include "AAX_CChunkDataParser.h"

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_IACFEffectParameters.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <stdexcept>
#include <string>

namespace
{
constexpr int32_t kChunkWriteFailed = -333;
constexpr unsigned char kMarker[4] = {1, 1, 1, 1};
constexpr char kTags[][3] = {"", "f_", "l_", "d_", "s_", "r_"};
constexpr int32_t kLongestEntryName = 255;

// Entries of type 0 (an unknown tag read from a chunk) are never written.
bool IsWritten(const AAX_CChunkDataParser::DataValue& entry)
{
    return entry.mDataType > AAX_CChunkDataParser::kDataType_None
           && entry.mDataType <= AAX_CChunkDataParser::kDataType_String;
}

int64_t RoundUpToFour(int64_t offset)
{
    return (offset + 3) & ~int64_t(3);
}

// Bytes a value takes in the data before rounding: the text value with its terminating zero.
int64_t ValueSize(const AAX_CChunkDataParser::DataValue& entry)
{
    switch (entry.mDataType)
    {
        case AAX_CChunkDataParser::kDataType_Int16: return 2;
        case AAX_CChunkDataParser::kDataType_Double: return 8;
        case AAX_CChunkDataParser::kDataType_String: return int64_t(entry.mStringValue.Length()) + 1;
        default: return 4;
    }
}

uint64_t ReadBigEndian(const unsigned char* bytes, int byteCount)
{
    uint64_t value = 0;
    for (int index = 0; index < byteCount; ++index)
        value = (value << 8) | bytes[index];
    return value;
}

void WriteBigEndian(uint64_t value, int byteCount, unsigned char* bytes)
{
    for (int index = byteCount - 1; index >= 0; --index, value >>= 8)
        bytes[index] = static_cast<unsigned char>(value & 0xFF);
}

// Length of the text at data[position], ending at its zero byte or at the limit; whether the zero was found.
int64_t TextLength(const unsigned char* data, int64_t position, int64_t limit, bool* terminated)
{
    const void* const zero = std::memchr(data + position, 0, static_cast<size_t>(limit - position));
    *terminated = zero != nullptr;
    return zero != nullptr ? static_cast<const unsigned char*>(zero) - (data + position) : limit - position;
}
// The entry found at index when it has the type asked for.
const AAX_CChunkDataParser::DataValue*
EntryOfType(int32_t index, const std::vector<AAX_CChunkDataParser::DataValue>& entries, int32_t type)
{
    return index >= 0 && entries[size_t(index)].mDataType == type ? &entries[size_t(index)] : nullptr;
}
} // namespace

AAX_CChunkDataParser::DataValue::DataValue() : mDataType(kDataType_None), mIntValue(0) {}

AAX_CChunkDataParser::AAX_CChunkDataParser() : mLastFoundIndex(-1), mChunkVersion(-1) {}

AAX_CChunkDataParser::~AAX_CChunkDataParser() = default;

void AAX_CChunkDataParser::Clear()
{
    mDataValues.clear();
    mLastFoundIndex = -1;
    mChunkVersion = -1;
}

void AAX_CChunkDataParser::AddDouble(const char name[], double value)
{
    DataValue entry;
    entry.mDataType = kDataType_Double;
    entry.mDataName = name;
    std::memcpy(&entry.mIntValue, &value, sizeof value);
    mDataValues.push_back(entry);
}

void AAX_CChunkDataParser::AddInt32(const char name[], int32_t value)
{
    DataValue entry;
    entry.mDataType = kDataType_Int32;
    entry.mDataName = name;
    entry.mIntValue = value;
    mDataValues.push_back(entry);
}

void AAX_CChunkDataParser::AddString(const char name[], AAX_CString value)
{
    DataValue entry;
    entry.mDataType = kDataType_String;
    entry.mDataName = name;
    entry.mStringValue = value;
    mDataValues.push_back(entry);
}

bool AAX_CChunkDataParser::FindDouble(const char name[], double* value)
{
    const DataValue* const entry = EntryOfType(FindName(AAX_CString(name)), mDataValues, kDataType_Double);
    if (entry != nullptr && value != nullptr)
        std::memcpy(value, &entry->mIntValue, sizeof *value);
    return entry != nullptr && value != nullptr;
}

bool AAX_CChunkDataParser::FindInt32(const char name[], int32_t* value)
{
    const DataValue* const entry = EntryOfType(FindName(AAX_CString(name)), mDataValues, kDataType_Int32);
    if (entry != nullptr && value != nullptr)
        *value = static_cast<int32_t>(entry->mIntValue);
    return entry != nullptr && value != nullptr;
}

bool AAX_CChunkDataParser::FindString(const char name[], AAX_CString* value)
{
    const DataValue* const entry = EntryOfType(FindName(AAX_CString(name)), mDataValues, kDataType_String);
    if (entry != nullptr && value != nullptr)
        value->Set(entry->mStringValue.Get());
    return entry != nullptr && value != nullptr;
}

int32_t AAX_CChunkDataParser::FindName(const AAX_CString& name)
{
    // Resumes after the last hit, so entries read in the order they were written cost one comparison each.
    const int32_t count = static_cast<int32_t>(mDataValues.size());
    if (mLastFoundIndex >= count - 1)
        mLastFoundIndex = -1;
    for (int32_t index = mLastFoundIndex + 1; index < count; ++index)
        if (mDataValues[size_t(index)].mDataName == name)
            return mLastFoundIndex = index;
    if (mLastFoundIndex == -1)
        return -1;
    for (int32_t index = 0; index <= mLastFoundIndex; ++index)
        if (mDataValues[size_t(index)].mDataName == name)
            return mLastFoundIndex = index;
    return -1;
}

int32_t AAX_CChunkDataParser::GetChunkDataSize() const
{
    int64_t size = sizeof kMarker;
    for (const DataValue& entry : mDataValues)
        if (IsWritten(entry))
            size += RoundUpToFour(int64_t(entry.mDataName.Length()) + 3) + RoundUpToFour(ValueSize(entry));
    // Too large to describe: the caller refuses a negative size.
    return size <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(size) : -1;
}

int32_t AAX_CChunkDataParser::GetChunkData(AAX_SPlugInChunk* chunk) const
{
    const int32_t size = GetChunkDataSize();
    if (chunk == nullptr || size < int32_t(sizeof kMarker))
        return kChunkWriteFailed;
    try
    {
        unsigned char* const data = reinterpret_cast<unsigned char*>(chunk->fData);
        std::memset(data, 0, size_t(size));
        std::memcpy(data, kMarker, sizeof kMarker);
        int64_t position = sizeof kMarker;
        for (const DataValue& entry : mDataValues)
        {
            if (!IsWritten(entry))
                continue;
            const int64_t nameLength = entry.mDataName.Length();
            const int64_t valueSize = ValueSize(entry);
            const int64_t valueOffset = RoundUpToFour(position + 2 + nameLength + 1);
            if (valueOffset + valueSize > size)
                throw std::length_error("aborting: chunk data will overflow buffer");

            std::memcpy(data + position, kTags[entry.mDataType], 2);
            std::memcpy(data + position + 2, entry.mDataName.Get(), size_t(nameLength) + 1);
            if (entry.mDataType == kDataType_String)
                std::memcpy(data + valueOffset, entry.mStringValue.Get(), size_t(valueSize));
            else
                WriteBigEndian(uint64_t(entry.mIntValue), int(valueSize), data + valueOffset);
            position = valueOffset + RoundUpToFour(valueSize);
        }
        chunk->fSize = size;
        return AAX_SUCCESS;
    }
    catch (const std::exception& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "AAX_CChunkDataParser::GetChunkData ERROR: %s",
                                 error.what());
    }
    catch (...)
    {
    }
    return kChunkWriteFailed;
}

bool AAX_CChunkDataParser::IsWellFormed(const AAX_SPlugInChunk* chunk)
{
    return chunk != nullptr && chunk->fSize >= int32_t(sizeof kMarker)
           && std::memcmp(chunk->fData, kMarker, sizeof kMarker) == 0;
}

void AAX_CChunkDataParser::LoadChunk(const AAX_SPlugInChunk* chunk)
{
    Clear();
    if (chunk == nullptr)
        return;
    mChunkVersion = chunk->fVersion;
    if (!IsWellFormed(chunk))
        return;

    // Every read stays below the data size; an entry cut short by it is dropped, with all after it.
    const unsigned char* const data = reinterpret_cast<const unsigned char*>(chunk->fData);
    const int64_t size = chunk->fSize;
    int64_t position = sizeof kMarker;
    while (position < size)
    {
        bool terminated = false;
        const int64_t limit = position + std::min<int64_t>(size - position, kLongestEntryName);
        const int64_t textLength = TextLength(data, position, limit, &terminated);
        if (!terminated && limit == size)
            return;
        DataValue entry;
        const char* const text = reinterpret_cast<const char*>(data + position);
        if (textLength > 2)
            entry.mDataName.Set(std::string(text + 2, size_t(textLength - 2)).c_str());
        const char type = textLength > 0 ? text[0] : '\0';
        position = RoundUpToFour(position + textLength + 1);

        int64_t valueSize = 0;
        switch (type)
        {
            case 'd':
                entry.mDataType = kDataType_Double;
                valueSize = 8;
                break;
            case 'f':
                entry.mDataType = kDataType_Float;
                valueSize = 4;
                break;
            case 'l':
                entry.mDataType = kDataType_Int32;
                valueSize = 4;
                break;
            case 's':
                entry.mDataType = kDataType_Int16;
                valueSize = 2;
                break;
            case 'r': entry.mDataType = kDataType_String; break;
            default: break;
        }
        if (entry.mDataType == kDataType_String)
        {
            if (position >= size)
                return;
            const int64_t valueLength = TextLength(data, position, size, &terminated);
            if (!terminated)
                return;
            entry.mStringValue.Set(reinterpret_cast<const char*>(data + position));
            position = RoundUpToFour(position + valueLength + 1);
        }
        else if (valueSize > 0)
        {
            if (position + valueSize > size)
                return;
            const uint64_t bits = ReadBigEndian(data + position, int(valueSize));
            // Integers keep their sign in the 64-bit holder; a double keeps its bits.
            entry.mIntValue = valueSize == 8   ? int64_t(bits)
                              : valueSize == 4 ? int64_t(int32_t(uint32_t(bits)))
                                               : int64_t(int16_t(uint16_t(bits)));
            position += valueSize == 8 ? 8 : 4;
        }
        mDataValues.push_back(entry);
    }
}
