#include "PreferredLanguages.h"

#include <algorithm>
#include <cstdlib>

#if defined(__APPLE__)
#include <CoreFoundation/CoreFoundation.h>
#endif

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

#if defined(__APPLE__)
// CoreFoundation's text as UTF-8; empty where there is no text or it cannot be converted.
std::string utf8Text(CFTypeRef value)
{
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID())
        return {};

    const auto text = static_cast<CFStringRef>(value);

    // Only some strings hold their UTF-8 bytes directly; the others are converted into a buffer.
    if (const char* direct = CFStringGetCStringPtr(text, kCFStringEncodingUTF8))
        return direct;

    const CFIndex longest = CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8);

    if (longest == kCFNotFound)
        return {};

    std::vector<char> buffer(static_cast<size_t>(longest) + 1); // and the terminating zero

    if (!CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()), kCFStringEncodingUTF8))
        return {};

    return buffer.data();
}
#endif
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

#if defined(__APPLE__)
std::vector<std::string> preferredLanguages()
{
    const CFArrayRef languages = CFLocaleCopyPreferredLanguages();

    if (languages == nullptr)
        return {};

    std::string first;

    if (CFArrayGetCount(languages) > 0)
        first = utf8Text(CFArrayGetValueAtIndex(languages, 0));

    CFRelease(languages);

    if (first.empty())
        return {};

    return {first};
}
#else
std::vector<std::string> preferredLanguages()
{
    return preferredLanguagesFrom(readLocaleEnvironment());
}
#endif
} // namespace kelvane::platform
