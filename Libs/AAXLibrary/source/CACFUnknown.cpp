#include "CACFUnknown.h"

#include "acfuids.h"

std::atomic<int32_t> CACFUnknown::m_ActiveObjects{0};

ACFRESULT CACFUnknown::PrivateUnknown::QueryInterface(const acfIID& interfaceID, void** out)
{
    return mOwner->InternalQueryInterface(interfaceID, out);
}

acfUInt32 CACFUnknown::PrivateUnknown::AddRef()
{
    return mOwner->InternalAddRef();
}

acfUInt32 CACFUnknown::PrivateUnknown::Release()
{
    return mOwner->InternalRelease();
}

CACFUnknown::CACFUnknown() : m_RefCount(0), m_UnknownOuter(nullptr), m_UnknownInner(this)
{
    m_UnknownOuter = &m_UnknownInner;
    m_ActiveObjects.fetch_add(1);
}

CACFUnknown::~CACFUnknown()
{
    m_ActiveObjects.fetch_sub(1);
}

ACFRESULT CACFUnknown::InitializeInstance(IACFUnknown*)
{
    return ACF_OK;
}

void CACFUnknown::FinalRelease() {}

void CACFUnknown::ReclaimMemory()
{
    delete this;
}

ACFRESULT CACFUnknown::InternalQueryInterface(const acfIID& interfaceID, void** out)
{
    if (out == nullptr)
        return ACF_E_NOINTERFACE;
    *out = nullptr;
    if (interfaceID == IID_IACFUnknown)
    {
        *out = &m_UnknownInner;
        m_UnknownInner.AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

acfUInt32 CACFUnknown::InternalAddRef()
{
    return m_RefCount.fetch_add(1) + 1;
}

acfUInt32 CACFUnknown::InternalRelease()
{
    const acfUInt32 remaining = m_RefCount.fetch_sub(1) - 1;
    if (remaining == 0)
    {
        // Only the caller that brought the count to 0 gets here; the object is gone afterwards.
        FinalRelease();
        ReclaimMemory();
    }
    return remaining;
}

int32_t CACFUnknown::GetActiveObjectCount() noexcept
{
    return m_ActiveObjects.load();
}
