#include "AAX_CMutex.h"

#include <atomic>
#include <new>
#include <pthread.h>

// The owner is atomic: any thread may read it to learn whether it holds the lock itself, while only the
// holder writes it.
struct AAX_CMutex::opaque_aax_mutex_t
{
    std::atomic<pthread_t> owner{};
    pthread_mutex_t mutex;
};

namespace
{
bool IsCallerOwner(const std::atomic<pthread_t>& owner)
{
    const pthread_t current = owner.load();
    return current != pthread_t() && pthread_equal(current, pthread_self()) != 0;
}
} // namespace

AAX_CMutex::AAX_CMutex() : mMutex(new (std::nothrow) opaque_aax_mutex_t)
{
    if (mMutex != nullptr && pthread_mutex_init(&mMutex->mutex, nullptr) != 0)
    {
        delete mMutex;
        mMutex = nullptr;
    }
}

AAX_CMutex::~AAX_CMutex()
{
    if (mMutex != nullptr)
    {
        pthread_mutex_destroy(&mMutex->mutex);
        delete mMutex;
    }
}

bool AAX_CMutex::Lock()
{
    if (mMutex == nullptr || IsCallerOwner(mMutex->owner))
        return false;
    if (pthread_mutex_lock(&mMutex->mutex) != 0)
        return false;
    mMutex->owner.store(pthread_self());
    return true;
}

void AAX_CMutex::Unlock()
{
    if (mMutex == nullptr || !IsCallerOwner(mMutex->owner))
        return;
    mMutex->owner.store(pthread_t());
    pthread_mutex_unlock(&mMutex->mutex);
}
