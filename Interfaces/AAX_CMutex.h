// A non-recursive lock that knows its owner: a second Lock on the owning thread returns false at once
// instead of deadlocking, and only the owner can unlock.
#pragma once

class AAX_CMutex
{
public:
    AAX_CMutex();
    ~AAX_CMutex();
    AAX_CMutex(const AAX_CMutex&) = delete;
    AAX_CMutex& operator=(const AAX_CMutex&) = delete;

    // True when this call took the lock; false when the caller already owns it or the mutex could not
    // be created.
    bool Lock();
    // Releases the lock when the caller owns it; does nothing otherwise.
    void Unlock();

private:
    struct opaque_aax_mutex_t;
    opaque_aax_mutex_t* mMutex; // null when the mutex could not be created
};

// Holds an AAX_CMutex for a scope; unlocks only what it locked itself.
class AAX_StLock_Guard
{
public:
    explicit AAX_StLock_Guard(AAX_CMutex& iMutex);
    ~AAX_StLock_Guard();
    AAX_StLock_Guard(const AAX_StLock_Guard&) = delete;
    AAX_StLock_Guard& operator=(const AAX_StLock_Guard&) = delete;

private:
    AAX_CMutex& mMutex;
    bool mNeedsUnlock;
};
