// Reference-counting base of the interface objects the plug-in hands to the host.
#pragma once

#include "acfunknown.h"

#include <atomic>

class CACFUnknown
{
public:
    // Non-delegating IACFUnknown of the object: forwards to the owner's Internal... methods.
    class PrivateUnknown : public IACFUnknown
    {
    public:
        explicit PrivateUnknown(CACFUnknown* owner) noexcept : mOwner(owner) {}
        virtual ~PrivateUnknown() {}

        ACFRESULT QueryInterface(const acfIID& interfaceID, void** out) override;
        acfUInt32 AddRef() override;
        acfUInt32 Release() override;

    private:
        CACFUnknown* mOwner;
    };

    CACFUnknown();
    virtual ~CACFUnknown();

    CACFUnknown(const CACFUnknown&) = delete;
    CACFUnknown& operator=(const CACFUnknown&) = delete;

    virtual ACFRESULT InitializeInstance(IACFUnknown* host);
    // Called once when the count falls to 0, before the memory is reclaimed.
    virtual void FinalRelease();
    // Deletes the object through its virtual destructor.
    virtual void ReclaimMemory();
    // Answers IID_IACFUnknown with the inner unknown; derived classes add their own interfaces.
    virtual ACFRESULT InternalQueryInterface(const acfIID& interfaceID, void** out);
    virtual acfUInt32 InternalAddRef();
    virtual acfUInt32 InternalRelease();

    // Number of CACFUnknown objects constructed and not yet destroyed in this process.
    static int32_t GetActiveObjectCount() noexcept;

protected:
    // The IACFUnknown to which the public QueryInterface, AddRef and Release of derived interfaces go.
    IACFUnknown* GetOuter() const noexcept { return m_UnknownOuter; }
    IACFUnknown* GetPrivateUnknown() noexcept { return &m_UnknownInner; }

private:
    std::atomic<acfUInt32> m_RefCount;
    IACFUnknown* m_UnknownOuter;
    PrivateUnknown m_UnknownInner;

    static std::atomic<int32_t> m_ActiveObjects;
};

// Implements the three IACFUnknown methods of a host-facing interface of a CACFUnknown-derived class by
// delegating to the object's outer IACFUnknown.
#define ACF_DELEGATE_UNKNOWN_TO_OUTER                                                                                  \
    ACFRESULT QueryInterface(const acfIID& interfaceID, void** out) override                                           \
    {                                                                                                                  \
        return GetOuter()->QueryInterface(interfaceID, out);                                                           \
    }                                                                                                                  \
    acfUInt32 AddRef() override                                                                                        \
    {                                                                                                                  \
        return GetOuter()->AddRef();                                                                                   \
    }                                                                                                                  \
    acfUInt32 Release() override                                                                                       \
    {                                                                                                                  \
        return GetOuter()->Release();                                                                                  \
    }
