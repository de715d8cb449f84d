#include "automationcall.h"

#include <iterator>
#include <vector>

HRESULT AutomationCall(WORD kind, VARIANT* result, IDispatch* object, DISPID& memberIdCache,
                       const wchar_t* memberName, std::initializer_list<VARIANT> arguments) {
    if (!object) return E_FAIL;
    if (memberIdCache == -1) {
        LPOLESTR name = const_cast<LPOLESTR>(memberName);
        // A failed lookup may leave anything in its out-array: only a found id is kept.
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return hr;
        memberIdCache = id;
    }
    // Invoke takes the arguments last first.
    std::vector<VARIANT> reversed(std::rbegin(arguments), std::rend(arguments));

    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {};
    parameters.cArgs = static_cast<UINT>(reversed.size());
    parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
    if (kind & DISPATCH_PROPERTYPUT) {
        parameters.cNamedArgs = 1;
        parameters.rgdispidNamedArgs = &putId;
    }
    return object->Invoke(memberIdCache, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &parameters, result, nullptr, nullptr);
}
