// Version of the interface this library implements. The host reads it through ACFGetSDKVersion as one
// 64-bit value: the version in the upper 32 bits, the revision in the lower 32.
#pragma once

#define AAX_SDK_VERSION (0x00000204)
#define AAX_SDK_CURRENT_REVISION (20204000)

// Revisions at which features appeared; plug-in code compares them against the current revision.
#define AAX_SDK_2p3p0_REVISION (20100000)
#define AAX_SDK_2p3p1_REVISION (20120000)
#define AAX_SDK_2p3p2_REVISION (20150000)
#define AAX_SDK_2p4p0_REVISION (20200000)
#define AAX_SDK_2p4p1_REVISION (20204000)

#define AAX_SDK_VERSION_AND_REVISION                                                                                   \
    ((((unsigned long long)AAX_SDK_VERSION) << 32) | ((unsigned long long)AAX_SDK_CURRENT_REVISION))
