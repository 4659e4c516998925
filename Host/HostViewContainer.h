// The host's view container (IID_IAAXViewContainerV1, V2): the native view a plug-in's window lives in.
// The host makes one when it opens a window (makeHostObject<HostViewContainer>) and hands its unknown() to
// the GUI object's SetViewContainer.
//
// Methods: 3 GetType, 4 GetPtr (answer the configured type and native view), 5 GetModifiers, 6 SetViewSize
// (keeps the size where the result is 0), 7 to 9 mouse events on one parameter (V1); 10 to 12 on several
// (V2). Pointer and reference arguments are logged by address.
#pragma once

#include "AAX_IACFViewContainer.h"
#include "HostObject.h"

#include <mutex>

class HostViewContainer : public HostObject
{
public:
    static constexpr const char* kName = "ViewContainer";

    explicit HostViewContainer(HostEnvironment& environment);

    // Set before the plug-in calls in.
    void setType(int32_t type) { mType = type; }
    void setNativeView(void* view) { mNativeView = view; }
    void setModifiers(uint32_t modifiers) { mModifiers = modifiers; }

    // The last size the plug-in's window asked for and the host accepted ({0, 0} before any).
    AAX_Point viewSize() const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFViewContainer_V2>
    {
    public:
        Facet(HostViewContainer& owner, const char* interfaceName) : HostFacet(owner, interfaceName), mContainer(owner)
        {
        }
        int32_t GetType() override;
        void* GetPtr() override;
        AAX_Result GetModifiers(uint32_t* modifiers) override;
        AAX_Result SetViewSize(AAX_Point& size) override;
        AAX_Result HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers) override;
        AAX_Result HandleParameterMouseDrag(AAX_CParamID id, uint32_t modifiers) override;
        AAX_Result HandleParameterMouseUp(AAX_CParamID id, uint32_t modifiers) override;
        AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* ids, uint32_t count,
                                                     uint32_t modifiers) override;
        AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* ids, uint32_t count,
                                                     uint32_t modifiers) override;
        AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* ids, uint32_t count,
                                                   uint32_t modifiers) override;

    private:
        HostViewContainer& mContainer;
    };

    int32_t mType = 0;
    void* mNativeView = nullptr;
    uint32_t mModifiers = 0;
    mutable std::mutex mMutex;
    AAX_Point mViewSize;
    Facet mV1;
    Facet mV2;
};
