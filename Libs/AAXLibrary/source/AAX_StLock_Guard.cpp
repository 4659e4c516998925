#include "AAX_CMutex.h"

AAX_StLock_Guard::AAX_StLock_Guard(AAX_CMutex& iMutex) : mMutex(iMutex), mNeedsUnlock(iMutex.Lock()) {}

AAX_StLock_Guard::~AAX_StLock_Guard()
{
    if (mNeedsUnlock)
        mMutex.Unlock();
}
