// kelvane_host: the AAX host stand-in as a command-line program. It loads a plug-in bundle, lists what the
// plug-in describes, and renders audio files through it. Every failure ends with one line on stderr and
// exit status 1 (2 for a wrong command line).
#include "HostBundle.h"
#include "HostEnvironment.h"
#include "HostPlugIn.h"
#include "RenderOptions.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace
{
int list(const std::vector<std::string>& arguments)
{
	if (arguments.size() != 1)
		throw HostError("list needs exactly one bundle");
	HostEnvironment host;
	HostPlugIn plugIn(host, arguments[0]);
	std::fputs(plugIn.description().c_str(), stdout);
	plugIn.finish();
	return 0;
}
} // namespace

int main(int argc, char** argv)
{
	const std::vector<std::string> arguments(argv + 1, argv + argc);
	if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h")
	{
		std::fputs(renderUsage(), arguments.empty() ? stderr : stdout);
		return arguments.empty() ? 2 : 0;
	}
	const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
	try
	{
		if (arguments[0] == "list")
			return list(rest);
		throw HostError("unknown command '" + arguments[0] + "' (try --help)");
	}
	catch (const HostError& error)
	{
		std::fprintf(stderr, "kelvane_host: %s\n", error.what());
	}
	catch (const std::exception& error)
	{
		std::fprintf(stderr, "kelvane_host: unexpected failure: %s\n", error.what());
	}
	return 1;
}
