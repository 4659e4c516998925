#include "AAX_CParameterManager.h"

#include "AAX_IParameter.h"

#include <cstring>

AAX_CParameterManager::AAX_CParameterManager() : mAutomationDelegate(nullptr) {}

AAX_CParameterManager::~AAX_CParameterManager()
{
    RemoveAllParameters();
}

void AAX_CParameterManager::Initialize(AAX_IAutomationDelegate* iAutomationDelegate)
{
    mAutomationDelegate = iAutomationDelegate;
}

int32_t AAX_CParameterManager::NumParameters() const
{
    return static_cast<int32_t>(mParameters.size());
}

void AAX_CParameterManager::AddParameter(AAX_IParameter* param)
{
    if (param == nullptr || param->Identifier() == nullptr || GetParameterByID(param->Identifier()) != nullptr)
        return;

    // Room first: if memory runs out, the parameter is neither registered nor owned.
    mParameters.reserve(mParameters.size() + 1);
    const auto indexed = mParametersMap.emplace(param->Identifier(), param).first;
    try
    {
        param->SetAutomationDelegate(mAutomationDelegate);
    }
    catch (...)
    {
        mParametersMap.erase(indexed);
        throw;
    }
    mParameters.push_back(param);
}

void AAX_CParameterManager::RemoveAllParameters()
{
    for (AAX_IParameter* const parameter : mParameters)
        delete parameter;
    mParameters.clear();
    mParametersMap.clear();
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier)
{
    return const_cast<AAX_IParameter*>(static_cast<const AAX_CParameterManager&>(*this).GetParameterByID(identifier));
}

const AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier) const
{
    if (identifier == nullptr)
        return nullptr;
    const auto found = mParametersMap.find(identifier);
    return found != mParametersMap.end() ? found->second : nullptr;
}

int32_t AAX_CParameterManager::GetParameterIndex(AAX_CParamID identifier) const
{
    if (identifier == nullptr)
        return -1;
    for (size_t index = 0; index < mParameters.size(); ++index)
        if (std::strcmp(mParameters[index]->Identifier(), identifier) == 0)
            return static_cast<int32_t>(index);
    return -1;
}

AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index)
{
    return const_cast<AAX_IParameter*>(static_cast<const AAX_CParameterManager&>(*this).GetParameter(index));
}

const AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index) const
{
    if (index < 0 || index >= NumParameters())
        return nullptr;
    return mParameters[static_cast<size_t>(index)];
}
