#include "frameworkdata.h"

#include "documenttype.h"
#include "winkit/unique_variant.h"

EXTERN_C const CLSID CLSID_DOMDocument60;  // source/globalinclude/xmlidentifiers.c

namespace {

// MinGW declares IID_IXMLDOMDocument2 without defining it.
constexpr IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

struct AttributeField {
    const wchar_t* name;
    winkit::UniqueBstr FrameworkData::*field;
};

// The order in which the attributes are read.
const AttributeField kAttributes[] = {
    {L"EFURL", &FrameworkData::url},
    {L"EFPLANT", &FrameworkData::frameworkPlant},
    {L"EFSIGNATURE", &FrameworkData::signature},
    {L"TEFVERSION", &FrameworkData::version},
    {L"EFUID", &FrameworkData::userId},
    {L"EFNAME", &FrameworkData::name},
    {L"RESTORE", &FrameworkData::restore},
    {L"PLANTNAME", &FrameworkData::plant},
    {L"AREANAME", &FrameworkData::area},
    {L"UNITNAME", &FrameworkData::unit},
};

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, winkit::UniqueVariant value) {
    document->setProperty(winkit::UniqueBstr::Copy(name).get(), *value.get());
}

} // namespace

HRESULT CreateFrameworkDataDocument(winkit::ComPtr<IXMLDOMDocument2>& document) {
    winkit::ComPtr<IXMLDOMDocument2> made;
    HRESULT hr = CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument2,
                                  made.put_void());
    if (FAILED(hr)) return hr;
    // Set although Wine's DOM ignores the first two: ReadFrameworkData refuses declarations.
    SetProperty(made.get(), L"ProhibitDTD", winkit::UniqueVariant::Bool(true));
    SetProperty(made.get(), L"ResolveExternals", winkit::UniqueVariant::Bool(false));
    made->put_validateOnParse(VARIANT_FALSE);
    document = std::move(made);
    return S_OK;
}

HRESULT ReadFrameworkData(IXMLDOMDocument2* document, BSTR text, FrameworkData& data) {
    std::wstring_view whole = winkit::BstrView(text);
    if (HasDocumentTypeDeclaration(whole)) return S_FALSE;
    // The DOM reads a text only up to its first NUL, a character XML does not allow:
    // such a text is not a document, and what follows the NUL would go unread.
    if (whole.find(L'\0') != std::wstring_view::npos) return S_FALSE;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = document->loadXML(text, &loaded);
    if (hr != S_OK || loaded != VARIANT_TRUE) return FAILED(hr) ? hr : S_FALSE;

    winkit::ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(root.put())) || !root) return hr;
    for (const AttributeField& attribute : kAttributes) {
        winkit::UniqueVariant value;
        if (root->getAttribute(winkit::UniqueBstr::Copy(attribute.name).get(), value.put()) != S_OK) continue;
        if (value.vt() != VT_BSTR) continue;
        data.*attribute.field = winkit::UniqueBstr(value.release().bstrVal);
    }
    return hr;
}
