#include "HostPageTable.h"

#include "AAX_Errors.h"
#include "AAX_IString.h"
#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

#include <iterator>

namespace
{
const HostComponentRegistration
    registration({HostPageTable::kName, true, AAXCompID_PageTable, {}, [](HostEnvironment& environment) -> HostObject* {
                      return new HostPageTable(environment);
                  }});

std::string idText(AAX_CParamID id)
{
    return id != nullptr ? id : "";
}

bool inRange(int32_t index, size_t size)
{
    return index >= 0 && static_cast<size_t>(index) < size;
}

// The entry at `index` of a map in key order, or null.
template <class Map>
const typename Map::value_type* entryAt(const Map& map, int32_t index)
{
    return inRange(index, map.size()) ? &*std::next(map.begin(), index) : nullptr;
}

// A parameter's name variations (empty where it has none), without adding an entry for it.
const std::map<int32_t, std::string>& variationsOf(const HostPageTable::Contents& contents, AAX_CParamID id)
{
    static const std::map<int32_t, std::string> none;
    const auto found = contents.variations.find(idText(id));
    return found != contents.variations.end() ? found->second : none;
}
} // namespace

HostPageTable::HostPageTable(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXPageTableV1"), mV2(*this, "IAAXPageTableV2")
{
}

HostPageTable::Contents HostPageTable::contents() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mContents;
}

void HostPageTable::assign(const Contents& contents)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mContents = contents;
}

bool HostPageTable::hasInterface(const IACFUnknown* passed) const
{
    return passed == static_cast<const AAX_IACFPageTable*>(&mV1)
           || passed == static_cast<const AAX_IACFPageTable*>(&mV2);
}

void* HostPageTable::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXPageTableV1)
        return static_cast<AAX_IACFPageTable*>(&mV1);
    if (interfaceID == IID_IAAXPageTableV2)
        return static_cast<AAX_IACFPageTable_V2*>(&mV2);
    return nullptr;
}

AAX_Result HostPageTable::Facet::act(int method, std::vector<std::string> arguments,
                                     const std::function<AAX_Result(Contents&)>& body) const
{
    const AAX_Result result = call(method, std::move(arguments));
    if (result != 0)
        return result;
    std::lock_guard<std::mutex> lock(mTable.mMutex);
    return body(mTable.mContents);
}

AAX_Result HostPageTable::Facet::Clear()
{
    return act(3, {}, [](Contents& c) {
        c.pages.clear();
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::Empty(AAX_CBoolean& oEmpty) const
{
    return act(4, {hostAddressArg(&oEmpty)}, [&oEmpty](Contents& c) {
        oEmpty = c.pages.empty() ? 1 : 0;
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetNumPages(int32_t& oNumPages) const
{
    return act(5, {hostAddressArg(&oNumPages)}, [&oNumPages](Contents& c) {
        oNumPages = static_cast<int32_t>(c.pages.size());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::InsertPage(int32_t page)
{
    return act(6, {hostArg(page)}, [page](Contents& c) {
        if (!inRange(page, c.pages.size() + 1))
            return AAX_ERROR_INVALID_ARGUMENT;
        c.pages.insert(c.pages.begin() + page, {});
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::RemovePage(int32_t page)
{
    return act(7, {hostArg(page)}, [page](Contents& c) {
        if (!inRange(page, c.pages.size()))
            return AAX_ERROR_INVALID_ARGUMENT;
        c.pages.erase(c.pages.begin() + page);
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetNumMappedParameterIDs(int32_t page, int32_t& oCount) const
{
    return act(8, {hostArg(page), hostAddressArg(&oCount)}, [page, &oCount](Contents& c) {
        if (!inRange(page, c.pages.size()))
            return AAX_ERROR_INVALID_ARGUMENT;
        oCount = static_cast<int32_t>(c.pages[static_cast<size_t>(page)].size());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::ClearMappedParameter(int32_t page, int32_t slot)
{
    return act(9, {hostArg(page), hostArg(slot)}, [page, slot](Contents& c) {
        if (!inRange(page, c.pages.size()))
            return AAX_ERROR_INVALID_ARGUMENT;
        c.pages[static_cast<size_t>(page)].erase(slot);
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& oID) const
{
    return act(10, {hostArg(page), hostArg(slot), hostAddressArg(&oID)}, [page, slot, &oID](Contents& c) {
        if (!inRange(page, c.pages.size()) || c.pages[static_cast<size_t>(page)].count(slot) == 0)
            return AAX_ERROR_INVALID_ARGUMENT;
        oID.Set(c.pages[static_cast<size_t>(page)][slot].c_str());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::MapParameterID(AAX_CParamID id, int32_t page, int32_t slot)
{
    return act(11, {hostArg(id), hostArg(page), hostArg(slot)}, [id, page, slot](Contents& c) {
        if (!inRange(page, c.pages.size()) || slot < 0)
            return AAX_ERROR_INVALID_ARGUMENT;
        c.pages[static_cast<size_t>(page)][slot] = idText(id);
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetNumParametersWithNameVariations(int32_t& oCount) const
{
    return act(12, {hostAddressArg(&oCount)}, [&oCount](Contents& c) {
        oCount = static_cast<int32_t>(c.variations.size());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetNameVariationParameterIDAtIndex(int32_t index, AAX_IString& oID) const
{
    return act(13, {hostArg(index), hostAddressArg(&oID)}, [index, &oID](Contents& c) {
        const auto* const entry = entryAt(c.variations, index);
        if (entry == nullptr)
            return AAX_ERROR_INVALID_ARGUMENT;
        oID.Set(entry->first.c_str());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetNumNameVariationsForParameter(AAX_CParamID id, int32_t& oCount) const
{
    return act(14, {hostArg(id), hostAddressArg(&oCount)}, [id, &oCount](Contents& c) {
        oCount = static_cast<int32_t>(variationsOf(c, id).size());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::GetParameterNameVariationAtIndex(AAX_CParamID id, int32_t index, AAX_IString& oName,
                                                                  int32_t& oLength) const
{
    return act(15, {hostArg(id), hostArg(index), hostAddressArg(&oName), hostAddressArg(&oLength)},
               [id, index, &oName, &oLength](Contents& c) {
                   const auto* const entry = entryAt(variationsOf(c, id), index);
                   if (entry == nullptr)
                       return AAX_ERROR_INVALID_ARGUMENT;
                   oName.Set(entry->second.c_str());
                   oLength = entry->first;
                   return AAX_SUCCESS;
               });
}

AAX_Result HostPageTable::Facet::GetParameterNameVariationOfLength(AAX_CParamID id, int32_t length,
                                                                   AAX_IString& oName) const
{
    return act(16, {hostArg(id), hostArg(length), hostAddressArg(&oName)}, [id, length, &oName](Contents& c) {
        const auto& named = variationsOf(c, id);
        const auto found = named.find(length);
        if (found == named.end())
            return AAX_ERROR_INVALID_ARGUMENT;
        oName.Set(found->second.c_str());
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::ClearParameterNameVariations()
{
    return act(17, {}, [](Contents& c) {
        c.variations.clear();
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::ClearNameVariationsForParameter(AAX_CParamID id)
{
    return act(18, {hostArg(id)}, [id](Contents& c) {
        c.variations.erase(idText(id));
        return AAX_SUCCESS;
    });
}

AAX_Result HostPageTable::Facet::SetParameterNameVariation(AAX_CParamID id, const AAX_IString& name, int32_t length)
{
    return act(19, {hostArg(id), hostAddressArg(&name), hostArg(length)}, [id, &name, length](Contents& c) {
        c.variations[idText(id)][length] = name.Get();
        return AAX_SUCCESS;
    });
}
