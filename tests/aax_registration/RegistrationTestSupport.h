// Support for the registration tests: the description routine the library calls (each test supplies its
// own), the host's traces and assertions as data, and a fixture with a host context.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_Errors.h"
#include "AAX_ICollection.h"
#include "HostDescriptionSupport.h"
#include "HostTestSupport.h"

#include <functional>
#include <string>
#include <vector>

using DescriptionRoutine = std::function<AAX_Result(AAX_ICollection*)>;

// The routine GetEffectDescriptions runs (empty: describe nothing and return 0), and how often it ran.
void SetDescriptionRoutine(DescriptionRoutine routine);
int DescriptionRoutineCalls();

// Procedures that do nothing, for registrations: only their addresses matter.
void ProcessProc(void* const[], const void*);
int32_t InstanceInitProc(const void*, AAX_EComponentInstanceInitAction);
int32_t BackgroundProc();

struct HostTrace
{
	std::string priority;
	std::string message;
	bool operator==(const HostTrace& other) const { return priority == other.priority && message == other.message; }
};
void PrintTo(const HostTrace& trace, std::ostream* stream);

inline const std::string kFailurePriority = "134217728";       // 0x08000000
inline const std::string kCheckedResultPriority = "67108864";  // 0x04000000

// Traces the host received (host services, method 4), in order.
std::vector<HostTrace> HostTraces(const HostEnvironment& host);

// A host context for the plug-in, with the host's services installed through ACFStartup so that traces
// and assertions reach the host; both are taken down before the leak check.
class DescriptionTest : public HostTest
{
protected:
	void SetUp() override;
	void TearDown() override;

	// Installs the host services (call after configuring the host).
	void startHostServices();

	HostRef<HostContext> context;

private:
	bool mStarted = false;
};
