#pragma once

#include <optional>
#include <string>
#include <vector>

// The user's preferred languages, as the desktop on this machine states them.
// On macOS the window asks CoreFoundation for this list; Linux has no such service, so the list is
// derived from the POSIX locale environment instead.
namespace kelvane::platform
{
/** The locale variables that name the user's languages; an absent variable is std::nullopt. */
struct LocaleEnvironment
{
    std::optional<std::string> language;   // LANGUAGE: a colon-separated list, most preferred first
    std::optional<std::string> lcAll;      // LC_ALL
    std::optional<std::string> lcMessages; // LC_MESSAGES
    std::optional<std::string> lang;       // LANG
};

/** Reads the four variables from this process's environment. */
LocaleEnvironment readLocaleEnvironment();

/** Turns one POSIX locale name into a language tag: "ja_JP.UTF-8" gives "ja-JP", "sr_RS@latin" gives
    "sr-RS". The neutral locales "C" and "POSIX" (with or without a codeset) and empty names give "". */
std::string languageTagFromLocaleName(const std::string& localeName);

/** The preferred language tags, most preferred first and without repeats: the entries of LANGUAGE in
    their order, then LC_ALL, LC_MESSAGES and LANG. Neutral and empty names are left out, so the list
    may be empty. */
std::vector<std::string> preferredLanguagesFrom(const LocaleEnvironment& environment);

/** preferredLanguagesFrom (readLocaleEnvironment()). */
std::vector<std::string> preferredLanguages();
} // namespace kelvane::platform
