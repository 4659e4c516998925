#pragma once

#include <optional>
#include <string>
#include <vector>

// The user's preferred languages as the system states them, most preferred first (the window judges its
// language by the first alone).
// - macOS: CoreFoundation's list of preferred languages (CFLocaleCopyPreferredLanguages), of which only the
//   first entry is read, as a tag such as "ja-JP" or "zh-Hans-CN". An empty list, or a first entry that is
//   missing or cannot be had as UTF-8, gives an empty list.
// - Linux (every other platform): no such service, so the list comes from the POSIX locale variables
//   LANGUAGE, LC_ALL, LC_MESSAGES and LANG, as preferredLanguagesFrom describes. The functions that read
//   them are built on macOS too, but preferredLanguages does not use them there.
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

/** macOS: the first of CoreFoundation's preferred languages, or an empty list. Elsewhere:
    preferredLanguagesFrom (readLocaleEnvironment()). Asks the system anew on every call. */
std::vector<std::string> preferredLanguages();
} // namespace kelvane::platform
