#include "PreferredLanguages.h"

#include <algorithm>
#include <cstdlib>

namespace kelvane::platform
{
namespace
{
std::optional<std::string> environmentValue(const char* name)
{
    if (const char* value = std::getenv(name))
        return std::string(value);

    return std::nullopt;
}

void appendTag(std::vector<std::string>& tags, const std::string& localeName)
{
    auto tag = languageTagFromLocaleName(localeName);

    if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end())
        tags.push_back(std::move(tag));
}
} // namespace

LocaleEnvironment readLocaleEnvironment()
{
    return {environmentValue("LANGUAGE"), environmentValue("LC_ALL"), environmentValue("LC_MESSAGES"),
            environmentValue("LANG")};
}

std::string languageTagFromLocaleName(const std::string& localeName)
{
    // language[_territory][.codeset][@modifier]: the codeset and modifier say nothing about the language.
    auto tag = localeName.substr(0, localeName.find_first_of(".@"));

    if (tag == "C" || tag == "POSIX")
        return {};

    std::replace(tag.begin(), tag.end(), '_', '-');
    return tag;
}

std::vector<std::string> preferredLanguagesFrom(const LocaleEnvironment& environment)
{
    std::vector<std::string> tags;

    if (environment.language)
    {
        const auto& list = *environment.language;
        std::string::size_type start = 0;

        for (;;)
        {
            const auto end = list.find(':', start);
            appendTag(tags, list.substr(start, end == std::string::npos ? std::string::npos : end - start));

            if (end == std::string::npos)
                break;

            start = end + 1;
        }
    }

    for (const auto* variable : {&environment.lcAll, &environment.lcMessages, &environment.lang})
        if (*variable)
            appendTag(tags, **variable);

    return tags;
}

std::vector<std::string> preferredLanguages()
{
    return preferredLanguagesFrom(readLocaleEnvironment());
}
} // namespace kelvane::platform
