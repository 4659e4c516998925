// ACFPtr: holder of one counted reference to a host interface.
#pragma once

#include "acfbasetypes.h"

#include <utility>

template <class T>
class ACFPtr
{
public:
    ACFPtr() noexcept = default;

    // Takes a reference of its own on ptr.
    ACFPtr(T* ptr) : mPtr(ptr)
    {
        if (mPtr != nullptr)
            mPtr->AddRef();
    }

    ACFPtr(const ACFPtr& other) : ACFPtr(other.mPtr) {}
    ACFPtr(ACFPtr&& other) noexcept : mPtr(other.mPtr) { other.mPtr = nullptr; }

    ~ACFPtr() { reset(); }

    ACFPtr& operator=(T* ptr)
    {
        if (ptr != nullptr)
            ptr->AddRef();
        T* const old = mPtr;
        mPtr = ptr;
        if (old != nullptr)
            old->Release();
        return *this;
    }

    ACFPtr& operator=(const ACFPtr& other) { return *this = other.mPtr; }

    ACFPtr& operator=(ACFPtr&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            mPtr = other.mPtr;
            other.mPtr = nullptr;
        }
        return *this;
    }

    // Releases the held reference, if any, and leaves the holder empty.
    void reset()
    {
        T* const old = mPtr;
        mPtr = nullptr;
        if (old != nullptr)
            old->Release();
    }

    // Out-argument form: releases what is held and hands out the slot for the host to fill. The pointer the
    // host writes there carries the host's reference, which the holder then owns.
    T** operator&()
    {
        reset();
        return &mPtr;
    }

    // Same as operator&, typed for QueryInterface and CreateComponent.
    void** outArgument() { return reinterpret_cast<void**>(operator&()); }

    // Calling through an empty holder throws ACF_E_POINTER (0x80000005) and calls nothing.
    T* operator->() const
    {
        if (mPtr == nullptr)
            throw ACFRESULT(ACF_E_POINTER);
        return mPtr;
    }

    T* get() const noexcept { return mPtr; }
    bool isNull() const noexcept { return mPtr == nullptr; }
    explicit operator bool() const noexcept { return mPtr != nullptr; }

    // Gives up the held reference to the caller without releasing it.
    T* detach() noexcept
    {
        T* const ptr = mPtr;
        mPtr = nullptr;
        return ptr;
    }

    // Takes over a reference the caller already owns (no AddRef).
    void attach(T* ptr)
    {
        reset();
        mPtr = ptr;
    }

private:
    T* mPtr = nullptr;
};
