#include "AAX_CParameter.h"

#include <iterator>

AAX_CStringAbbreviations::AAX_CStringAbbreviations(const AAX_CString& inPrimary) : mPrimary(inPrimary) {}

void AAX_CStringAbbreviations::SetPrimary(const AAX_CString& inPrimary)
{
    mPrimary = inPrimary;
}

const AAX_CString& AAX_CStringAbbreviations::Primary() const
{
    return mPrimary;
}

void AAX_CStringAbbreviations::Add(const AAX_CString& inAbbreviation)
{
    mAbbreviations[inAbbreviation.Length()] = inAbbreviation;
}

const AAX_CString& AAX_CStringAbbreviations::Get(int32_t inNumCharacters) const
{
    if (static_cast<int64_t>(mPrimary.Length()) <= inNumCharacters || mAbbreviations.empty() || inNumCharacters < 0)
        return mPrimary;

    // The longest shortened name that fits, or the shortest one when none fits.
    const auto longer = mAbbreviations.upper_bound(static_cast<uint32_t>(inNumCharacters));
    if (longer == mAbbreviations.end())
        return mAbbreviations.rbegin()->second;
    if (longer == mAbbreviations.begin())
        return longer->second;
    return std::prev(longer)->second;
}

void AAX_CStringAbbreviations::Clear()
{
    mAbbreviations.clear();
}
