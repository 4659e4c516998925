// Basic types and result codes of the component-object layer shared by host and plug-in.
#pragma once

#include <cstdint>

typedef int32_t acfSInt32;
typedef uint32_t acfUInt32;
typedef uint16_t acfUInt16;
typedef uint8_t acfUInt8;

// Result of the component-object layer's operations; 0 is success, failures have the top bit set.
typedef int32_t ACFRESULT;

#define ACF_OK ((ACFRESULT)0)
// The object does not offer the interface that was asked for.
#define ACF_E_NOINTERFACE ((ACFRESULT)0x80000004)
// A host method was called through an empty interface holder (thrown, never returned).
#define ACF_E_POINTER ((ACFRESULT)0x80000005)
// An exception reached an exported entry point.
#define ACF_E_UNEXPECTED ((ACFRESULT)0x8000FFFF)

#define ACF_SUCCEEDED(result) ((ACFRESULT)(result) >= 0)
#define ACF_FAILED(result) ((ACFRESULT)(result) < 0)
