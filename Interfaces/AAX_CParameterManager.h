// The container of an effect instance's parameter objects, found by index (registration order) or by ID.
#pragma once

#include "AAX.h"

#include <map>
#include <string>
#include <vector>

class AAX_IParameter;
class AAX_IAutomationDelegate;

class AAX_CParameterManager
{
public:
    AAX_CParameterManager();
    ~AAX_CParameterManager(); // deletes every parameter it holds
    AAX_CParameterManager(const AAX_CParameterManager&) = delete;
    AAX_CParameterManager& operator=(const AAX_CParameterManager&) = delete;

    // The delegate handed to every parameter added from now on.
    void Initialize(AAX_IAutomationDelegate* iAutomationDelegate);

    int32_t NumParameters() const;

    // Takes ownership of param unless it is null or its ID is already registered; a refused parameter
    // stays the caller's.
    void AddParameter(AAX_IParameter* param);

    // Deletes every parameter, in registration order.
    void RemoveAllParameters();

    // Null for a null or unregistered ID.
    AAX_IParameter* GetParameterByID(AAX_CParamID identifier);
    const AAX_IParameter* GetParameterByID(AAX_CParamID identifier) const;

    // -1 for a null or unregistered ID.
    int32_t GetParameterIndex(AAX_CParamID identifier) const;

    // Null for an index outside 0..NumParameters()-1.
    AAX_IParameter* GetParameter(int32_t index);
    const AAX_IParameter* GetParameter(int32_t index) const;

private:
    AAX_IAutomationDelegate* mAutomationDelegate;
    std::vector<AAX_IParameter*> mParameters;
    std::map<std::string, AAX_IParameter*> mParametersMap;
};
