// Fundamental types shared by every header of the AAX interface library.
#pragma once

#include <cstddef>
#include <cstdint>

// Result code of every operation the host can reach: 0 is success, named errors are negative.
typedef int32_t AAX_Result;

// An 8-bit boolean as it crosses the host boundary (0 = false, anything else = true).
typedef uint8_t AAX_CBoolean;

// Parameter identifier: a NUL-terminated text, compared byte for byte.
typedef const char* AAX_CParamID;

// Four-character code (first character in the most significant byte), e.g. chunk IDs and plug-in IDs.
typedef uint32_t AAX_CTypeID;

// Values stored in a host property map.
typedef int32_t AAX_CPropertyValue;
typedef const void* AAX_CPointerPropertyValue;

// Index of a field in an algorithm's context record (see AAX_FIELD_INDEX).
typedef int32_t AAX_CFieldIndex;

// Miscellaneous scalar types used across the interfaces.
typedef uint32_t AAX_CSelector;
typedef int32_t AAX_CIndex;
typedef uint32_t AAX_CCount;
typedef float AAX_CSampleRate;
typedef double AAX_CParamValue;
typedef uint32_t AAX_CTimestamp;
typedef int64_t AAX_CTransportCounter;
typedef uint64_t AAX_CTimeOfDay;

// Priorities of host trace messages. The library itself sends High for caught failures and Normal for the
// message that precedes a checked-result exception.
enum AAX_ETracePriorityHost : int32_t
{
    AAX_eTracePriorityHost_None = 0,
    AAX_eTracePriorityHost_Critical = 0x10000000,
    AAX_eTracePriorityHost_High = 0x08000000,
    AAX_eTracePriorityHost_Normal = 0x04000000,
    AAX_eTracePriorityHost_Low = 0x02000000,
    AAX_eTracePriorityHost_Lowest = 0x01000000
};

// Builds a four-character code from its four characters.
#define AAX_FOURCHAR(a, b, c, d)                                                                                       \
    ((AAX_CTypeID)((((uint32_t)(uint8_t)(a)) << 24) | (((uint32_t)(uint8_t)(b)) << 16)                                 \
                   | (((uint32_t)(uint8_t)(c)) << 8) | ((uint32_t)(uint8_t)(d))))

#ifndef AAX_CALLBACK
#define AAX_CALLBACK
#endif

// Identifier under which a creation function is registered with an effect descriptor (AddProcPtr).
typedef uint32_t AAX_CProcPtrID;
const AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectParameters = 0;
const AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectGUI = 1;

// One plug-in type as the host identifies it: manufacturer, product and plug-in type codes.
struct AAX_SPlugInIdentifierTriad
{
    AAX_CTypeID mManufacturerID;
    AAX_CTypeID mProductID;
    AAX_CTypeID mPlugInID;
};

// Index of a member of an algorithm's context record: the record is a sequence of pointer-sized fields.
#define AAX_FIELD_INDEX(aContextType, aMember) ((AAX_CFieldIndex)(offsetof(aContextType, aMember) / sizeof(void*)))
