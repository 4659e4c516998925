#include "RegistrationTestSupport.h"

#include "AAX_Init.h"

#include <ostream>
#include <utility>

namespace
{
DescriptionRoutine gRoutine;
int gCalls = 0;
} // namespace

// The plug-in's description routine, as the library declares it.
AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
	++gCalls;
	return gRoutine ? gRoutine(collection) : 0;
}

void ProcessProc(void* const[], const void*) {}

int32_t InstanceInitProc(const void*, AAX_EComponentInstanceInitAction)
{
	return 0;
}

int32_t BackgroundProc()
{
	return 0;
}

void SetDescriptionRoutine(DescriptionRoutine routine)
{
	gRoutine = std::move(routine);
	gCalls = 0;
}

int DescriptionRoutineCalls()
{
	return gCalls;
}

void PrintTo(const HostTrace& trace, std::ostream* stream)
{
	*stream << "{" << trace.priority << ", \"" << trace.message << "\"}";
}

std::vector<HostTrace> HostTraces(const HostEnvironment& host)
{
	std::vector<HostTrace> traces;
	for (const HostCall& call : host.log().callsTo("HostServices"))
		if (call.method == 4 && call.arguments.size() == 2)
			traces.push_back({ call.arguments[0], call.arguments[1] });
	return traces;
}

void DescriptionTest::SetUp()
{
	HostTest::SetUp();
	SetDescriptionRoutine(nullptr);
	context = makeContext();
}

void DescriptionTest::startHostServices()
{
	ASSERT_EQ(AAXStartup(context->unknown()), 0);
	mStarted = true;
}

void DescriptionTest::TearDown()
{
	if (mStarted)
		AAXShutdown(nullptr);
	SetDescriptionRoutine(nullptr);
	context.reset();
	HostTest::TearDown();
}
