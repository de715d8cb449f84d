#pragma once
// A node of the simulated QRClientTools settings store. A node made by its class is the
// store's top; OpenChild gives the node below it, whether or not it holds values yet
// (its registry key is made by the first SetValue).
//
// Numbered entries: a list of child nodes "0", "1", ... is stored by writing its entries
// and then calling EndEntries on the node named after the entry count n, which removes
// every sibling entry numbered n or more, so that a shorter list leaves no older entry
// behind. BeginEntries marks the start of such a store or load and changes nothing.
#include <string>
#include "hostinterfaces.h"
#include "simclienttoolslib.h"
#include "simcom.h"
#include "winkit/com_object.h"
#include "winkit/dispatch_impl.h"

namespace sim {

class SimSettingsNode final : public winkit::ComObjectRoot,
                              public winkit::DispatchImpl<ISettingsNode>,
                              public SupportErrorInfoImpl<ISettingsNode> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP GetValue(BSTR name, VARIANT* found, BSTR* text) override;
    STDMETHODIMP GetName(BSTR* name) override;
    STDMETHODIMP SetValue(BSTR name, VARIANT* written, BSTR text) override;
    STDMETHODIMP OpenChild(BSTR name, ISettingsNode** child) override;
    STDMETHODIMP DeleteChild(BSTR name) override;
    STDMETHODIMP EndEntries() override;
    STDMETHODIMP BeginEntries() override;

private:
    std::wstring path_;  // names from the top, joined by backslashes; empty for the top
    std::wstring name_;  // the last of them
};

} // namespace sim
