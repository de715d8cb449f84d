#pragma once
// IDispatch from name tables, for the spreadsheet application's objects (late-bound only:
// they have no type library).
#include <windows.h>
#include <oleauto.h>
#include <new>
#include <optional>
#include <string>
#include <vector>
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

// Every member name of every object kind, with the one id it has wherever it is found.
enum SpreadsheetMember : DISPID {
    kMemberVisible = 1,
    kMemberUserControl,
    kMemberWorkbooks,
    kMemberAdd,
    kMemberSheets,
    kMemberItem,
    kMemberRange,
    kMemberValue,
    kMemberColumnWidth,
    kMemberResize,
    kMemberFont,
    kMemberBold,
};

// The arguments of one Invoke: the positional ones in the member's own order, references
// followed, and for a property put the value assigned.
class DispatchArguments {
public:
    // DISP_E_NONAMEDARGS for named arguments other than a put's value.
    HRESULT Read(WORD kind, const DISPPARAMS* parameters);

    // Positional arguments given, not counting omitted ones at the end.
    size_t count() const { return positional_.size(); }
    // Nothing for an argument the caller left out.
    const VARIANT* at(size_t i) const;
    const VARIANT* putValue() const { return putValue_; }

private:
    const VARIANT* Followed(const VARIANT* v);

    std::vector<const VARIANT*> positional_;
    const VARIANT* putValue_ = nullptr;
    std::vector<winkit::UniqueVariant> copies_;  // referenced values other than VARIANTs
};

// Conversions that answer a value of the wrong kind with DISP_E_TYPEMISMATCH.
HRESULT ArgumentLong(const VARIANT* v, LONG* out);
HRESULT ArgumentDouble(const VARIANT* v, double* out);
HRESULT ArgumentBool(const VARIANT* v, bool* out);
HRESULT ArgumentText(const VARIANT* v, std::wstring* out);

class AutomationObject : public winkit::ComObjectRoot, public IDispatch {
public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    // Names are matched without regard to case; an unknown one gives DISP_E_UNKNOWNNAME.
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD kind, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // When the last call into any object of the process arrived (GetTickCount).
    static DWORD LastCallTick() noexcept;

protected:
    AutomationObject() = default;

    virtual bool HasMember(DISPID id) const = 0;
    // Runs a member this object has; `result` comes empty.
    virtual HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) = 0;

    static bool IsRead(WORD kind) { return (kind & DISPATCH_PROPERTYGET) != 0; }
    static bool IsPut(WORD kind) { return (kind & DISPATCH_PROPERTYPUT) != 0; }
    // A member with arguments that hands back an object may be called or read.
    static bool IsCallOrRead(WORD kind) { return (kind & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0; }
    static HRESULT ExpectArguments(const DispatchArguments& arguments, size_t count) {
        return arguments.count() == count ? S_OK : DISP_E_BADPARAMCOUNT;
    }

private:
    static const QITAB kInterfaces[];
};

// A new object of kind T (derived from AutomationObject), held by the caller.
template <class T>
winkit::ComPtr<T> NewAutomationObject() {
    IDispatch* object = nullptr;
    if (FAILED(winkit::CreateComInstance<T>(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object))))
        throw std::bad_alloc();
    return winkit::ComPtr<T>::Attach(static_cast<T*>(object));
}

// The result VARIANT of a member that hands back an object.
template <class T>
winkit::UniqueVariant DispatchResult(winkit::ComPtr<T> object) {
    return winkit::UniqueVariant::Dispatch(static_cast<IDispatch*>(object.release()));
}
