#include "HostContext.h"

#include "AAX_UIDs.h"
#include "ACF/acfuids.h"

#include <stdexcept>

HostContext::HostContext(HostEnvironment& environment)
    : HostObject(environment, "HostContext"), mFactory(new HostComponentFactory(environment))
{
}

HostContext::~HostContext()
{
    setEffect(nullptr);
}

void HostContext::setEffect(IACFUnknown* effect)
{
    if (effect != nullptr)
        effect->AddRef();
    if (mEffect != nullptr)
        mEffect->Release();
    mEffect = effect;
}

HostObject* HostContext::component(const std::string& name)
{
    const HostComponentType* const type = HostComponentRegistry::findByName(name);
    if (type == nullptr || type->contextInterfaces.empty())
        throw std::logic_error("no host component kind \"" + name + "\" is offered through the host context");
    return instanceOf(*type);
}

void* HostContext::findInterface(const acfIID&)
{
    return nullptr;
}

ACFRESULT HostContext::delegateQuery(const acfIID& interfaceID, void** out)
{
    if (interfaceID == IID_IACFComponentFactory)
        return mFactory->queryInterface(interfaceID, out);
    const bool effectParameters = interfaceID == IID_IAAXEffectParametersV1 || interfaceID == IID_IAAXEffectParametersV2
                                  || interfaceID == IID_IAAXEffectParametersV3
                                  || interfaceID == IID_IAAXEffectParametersV4;
    if (effectParameters && mEffect != nullptr)
        return mEffect->QueryInterface(interfaceID, out);
    if (const HostComponentType* type = HostComponentRegistry::findByContextInterface(interfaceID))
        return instanceOf(*type)->queryInterface(interfaceID, out);
    return ACF_E_NOINTERFACE;
}

HostObject* HostContext::instanceOf(const HostComponentType& type)
{
    std::lock_guard<std::mutex> lock(mComponentsMutex);
    HostRef<HostObject>& instance = mComponents[type.name];
    if (!instance)
        instance = HostRef<HostObject>(type.create(environment()));
    return instance.get();
}
