#pragma once
// The one late-bound call every spreadsheet step goes through.
#include <windows.h>
#include <oleauto.h>
#include <initializer_list>

// Invokes `memberName` on `object` as `kind` (DISPATCH_METHOD, DISPATCH_PROPERTYGET or
// DISPATCH_PROPERTYPUT) with the arguments in the member's own parameter order.
//
// `memberIdCache` holds -1 until the member's id is known; the first call looks the name
// up and keeps the id there, so one cache per member name serves every object of a kind.
// The arguments are copied bit for bit (the caller keeps owning their contents).
// Returns E_FAIL without an object, the lookup's failure, or Invoke's HRESULT.
HRESULT AutomationCall(WORD kind, VARIANT* result, IDispatch* object, DISPID& memberIdCache,
                       const wchar_t* memberName, std::initializer_list<VARIANT> arguments = {});
