// The IACFUnknown the host hands to the plug-in (at start-up, at registration, when it initialises an
// effect or GUI object). It answers IID_IACFComponentFactory with its component factory and every interface
// that a registered component kind lists in contextInterfaces with its one instance of that kind, made when
// first asked for (see HostComponentRegistry.h). The context of an effect's GUI object also answers the
// effect-parameters interfaces with the plug-in's effect object (setEffect).
#pragma once

#include "HostComponentFactory.h"
#include "HostComponentRegistry.h"
#include "HostObject.h"

#include <map>
#include <mutex>
#include <string>

class HostContext : public HostObject
{
public:
    explicit HostContext(HostEnvironment& environment);
    ~HostContext() override;

    // The plug-in's effect object, answered for IID_IAAXEffectParametersV1..V4 from now on; the context holds
    // one reference to it until it is replaced or the context is gone. Set before the plug-in calls in.
    void setEffect(IACFUnknown* effect);

    HostComponentFactory& factory() { return *mFactory; }

    // This context's instance of a component kind offered through the context (made now if need be), e.g.
    // component<HostAutomationDelegate>("AutomationDelegate").
    HostObject* component(const std::string& name);
    template <class T>
    T* component(const std::string& name)
    {
        return dynamic_cast<T*>(component(name));
    }

protected:
    void* findInterface(const acfIID& interfaceID) override;
    ACFRESULT delegateQuery(const acfIID& interfaceID, void** out) override;

private:
    HostObject* instanceOf(const HostComponentType& type);

    HostRef<HostComponentFactory> mFactory;
    IACFUnknown* mEffect = nullptr;
    std::mutex mComponentsMutex;
    std::map<std::string, HostRef<HostObject>> mComponents;
};
