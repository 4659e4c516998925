// Records the host sends with transport notifications.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"

// Data of AAX_eNotificationEvent_TransportStateChanged.
struct AAX_TransportStateInfo_V1
{
    AAX_ETransportState mTransportState = AAX_eTransportState_Unknown;
    bool mIsRecording = false;
    bool mIsRecordEnabled = false;
    bool mIsLoopEnabled = false;
};
