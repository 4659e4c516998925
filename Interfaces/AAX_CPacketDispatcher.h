// Carries parameter values to the algorithm: each registered parameter feeds a packet posted to one
// data-in port of the algorithm's context whenever the host asks for coefficients.
#pragma once

#include "AAX.h"
#include "AAX_CMutex.h"
#include "AAX_Errors.h"

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class AAX_IController;
class AAX_IEffectParameters;

// The payload posted to one port.
class AAX_CPacket
{
public:
    // Growable payload buffer; starts as 8 zero bytes.
    class SPacketData
    {
    public:
        SPacketData() : mData(8, 0) {}
        SPacketData(const SPacketData&) = delete;
        SPacketData& operator=(const SPacketData&) = delete;

        // Address of the first byte; valid until the next Get(size).
        const void* Get() const { return mData.data(); }

        // Resizes the buffer to exactly size bytes (bytes added are zero, shrinking keeps the leading ones)
        // and returns its first byte. A size of 0 is refused with std::out_of_range.
        void* Get(size_t size)
        {
            if (size == 0)
                throw std::out_of_range("AAX_CPacket::SPacketData::Get: size 0");
            mData.resize(size, 0);
            return mData.data();
        }

    private:
        std::vector<unsigned char> mData;
    };

    explicit AAX_CPacket(AAX_CFieldIndex inFieldIndex) : mID(inFieldIndex), mDirty(true), mDataSize(0) {}
    AAX_CPacket(const AAX_CPacket&) = delete;
    AAX_CPacket& operator=(const AAX_CPacket&) = delete;

    void SetDirty(bool iDirty) { mDirty = iDirty; }
    bool IsDirty() const { return mDirty; }
    AAX_CFieldIndex GetID() const { return mID; }
    uint32_t GetSize() const { return mDataSize; }
    const void* GetData() const { return mPacketData.Get(); }

    // Sets the payload to one value of type T and returns where to write it.
    template <typename T>
    T* GetPtr()
    {
        mDataSize = sizeof(T);
        return reinterpret_cast<T*>(mPacketData.Get(sizeof(T)));
    }

private:
    AAX_CFieldIndex mID;
    bool mDirty;
    uint32_t mDataSize;
    SPacketData mPacketData;
};

// Fills a packet from a parameter.
class AAX_IPacketHandler
{
public:
    virtual ~AAX_IPacketHandler() {}
    virtual AAX_IPacketHandler* Clone() const = 0; // the caller owns the copy
    virtual AAX_Result Call(AAX_CParamID inParamID, AAX_CPacket& ioPacket) const = 0;
};

// A packet handler that calls a member function of a worker object (not owned): the form taking the
// parameter ID when it is set, otherwise the form taking only the packet.
template <class TWorker>
class AAX_CPacketHandler : public AAX_IPacketHandler
{
public:
    typedef AAX_Result (TWorker::*ProcPtrPacket)(AAX_CPacket&);
    typedef AAX_Result (TWorker::*ProcPtrIDPacket)(AAX_CParamID, AAX_CPacket&);

    AAX_CPacketHandler(TWorker* iWorker, ProcPtrPacket iProc) : mWorker(iWorker), mProcPacket(iProc) {}
    AAX_CPacketHandler(TWorker* iWorker, ProcPtrIDPacket iProc) : mWorker(iWorker), mProcIDPacket(iProc) {}

    AAX_IPacketHandler* Clone() const override { return new AAX_CPacketHandler(*this); }

    AAX_Result Call(AAX_CParamID inParamID, AAX_CPacket& ioPacket) const override
    {
        if (mProcIDPacket != nullptr)
            return (mWorker->*mProcIDPacket)(inParamID, ioPacket);
        if (mProcPacket != nullptr)
            return (mWorker->*mProcPacket)(ioPacket);
        return AAX_ERROR_NULL_OBJECT;
    }

private:
    TWorker* mWorker = nullptr;
    ProcPtrPacket mProcPacket = nullptr;
    ProcPtrIDPacket mProcIDPacket = nullptr;
};

class AAX_CPacketDispatcher
{
public:
    AAX_CPacketDispatcher();
    ~AAX_CPacketDispatcher(); // deletes every packet and handler clone
    AAX_CPacketDispatcher(const AAX_CPacketDispatcher&) = delete;
    AAX_CPacketDispatcher& operator=(const AAX_CPacketDispatcher&) = delete;

    // The controller packets are posted through and the effect the standard handler reads; null for both
    // when the effect tears down.
    void Initialize(AAX_IController* iPlugIn, AAX_IEffectParameters* iEffectParameters);

    // Registers paramID to feed portID (no packet for a negative port) through a clone of inHandler; the
    // caller keeps inHandler.
    AAX_Result RegisterPacket(AAX_CParamID paramID, AAX_CFieldIndex portID, const AAX_IPacketHandler* inHandler);

    // Registers paramID to feed portID with its value (GenerateSingleValuePacket).
    AAX_Result RegisterPacket(AAX_CParamID paramID, AAX_CFieldIndex portID)
    {
        const AAX_CPacketHandler<AAX_CPacketDispatcher> handler(this,
                                                                &AAX_CPacketDispatcher::GenerateSingleValuePacket);
        return RegisterPacket(paramID, portID, &handler);
    }

    AAX_Result SetDirty(AAX_CParamID paramID, bool iDirty = true);

    // Regenerates and posts every dirty packet; the result of the last post, or 0. Without a controller it
    // runs no handler and answers AAX_ERROR_NULL_OBJECT.
    AAX_Result Dispatch();

    // The standard handler: the parameter's value as a 4-byte bool, float or int32, or an 8-byte double.
    AAX_Result GenerateSingleValuePacket(AAX_CParamID iParam, AAX_CPacket& ioPacket);

private:
    typedef std::pair<AAX_CPacket*, AAX_IPacketHandler*> THandlerEntry;

    std::map<AAX_CFieldIndex, AAX_CPacket*> mPacketsHolder;     // owns the packets
    std::multimap<std::string, THandlerEntry> mPacketsHandlers; // owns the handler clones
    AAX_IController* mPlugIn;
    AAX_IEffectParameters* mEffectParameters;
    AAX_CMutex mLockGuard;
};
