// An instance's GUI object as a host holds it while the plug-in's window is open:
// - made through the effect's registered GUI creation procedure and initialised with a host context of its
//   own that answers the effect-parameters interfaces with the instance's effect object;
// - asked for its view size, then given a view container whose type and native view the host chose
//   (an X11 window id on Linux);
// - woken by the host's GUI timer (TimerWakeup), which on Linux is what runs the plug-in's message loop;
// - closed in host order: SetViewContainer(null), Uninitialize, the last reference.
// All calls come from the host's GUI thread.
#pragma once

#include "AAX_GUITypes.h"
#include "AAX_IACFEffectGUI.h"
#include "HostContext.h"
#include "HostObject.h"
#include "HostViewContainer.h"

class HostPlugIn;
class HostInstance;

class HostEffectGUI
{
public:
    // Throws HostError when the plug-in registered no GUI or its GUI object cannot be made.
    HostEffectGUI(const HostPlugIn& plugIn, HostInstance& instance);
    ~HostEffectGUI();

    HostEffectGUI(const HostEffectGUI&) = delete;
    HostEffectGUI& operator=(const HostEffectGUI&) = delete;

    AAX_IACFEffectGUI& gui() const { return *mGUI; }

    // GetViewSize; {0, 0} when the plug-in gives none.
    AAX_Point viewSize() const;

    // Hands the plug-in a view container with this type and native view (SetViewContainer).
    AAX_Result attach(int32_t containerType, void* nativeView);
    // Takes the view container away again (SetViewContainer(null)); nothing when none is attached.
    AAX_Result detach();
    // The container attached now, or null: the size the plug-in last asked for is kept there.
    HostViewContainer* container() const { return mContainer.get(); }

    AAX_Result timerWakeup() { return mGUI->TimerWakeup(); }

private:
    void close();

    HostRef<HostContext> mContext;
    HostRef<HostViewContainer> mContainer;
    AAX_IACFEffectGUI* mGUI = nullptr;
    bool mInitialized = false;
};
