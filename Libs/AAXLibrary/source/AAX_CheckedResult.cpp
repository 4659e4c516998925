#include "AAX_Exception.h"

#include "AAX_CHostServices.h"

AAX_CheckedResult::AAX_CheckedResult() : AAX_CheckedResult(AAX_SUCCESS) {}

AAX_CheckedResult::AAX_CheckedResult(AAX_Result result) : mCurResult(result), mLastError(AAX_SUCCESS)
{
    ResetAcceptedResults();
    Check();
}

AAX_CheckedResult& AAX_CheckedResult::operator=(AAX_Result result)
{
    mCurResult = result;
    Check();
    return *this;
}

void AAX_CheckedResult::Check()
{
    if (mAcceptedResults.count(mCurResult) != 0)
        return;

    const AAX::Exception::ResultError error(mCurResult);
    mLastError = mCurResult;
    mCurResult = AAX_SUCCESS;
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "AAX_CheckedResult - throwing %s", error.What().c_str());
    throw error;
}

void AAX_CheckedResult::ResetAcceptedResults()
{
    mAcceptedResults.clear();
    mAcceptedResults.insert(AAX_SUCCESS);
}

void AAX_CheckedResult::AddAcceptedResult(AAX_Result result)
{
    mAcceptedResults.insert(result);
}
