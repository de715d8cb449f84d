#include "support/fake_spreadsheet.h"

#include <map>
#include "support/errorinfo_helpers.h"
#include "winkit/unique_variant.h"

// {3D0F5B1E-8E52-4C73-9A3B-2F6E1C4D7A10}
const CLSID CLSID_FakeSpreadsheet = {0x3d0f5b1e, 0x8e52, 0x4c73, {0x9a, 0x3b, 0x2f, 0x6e, 0x1c, 0x4d, 0x7a, 0x10}};

namespace {

enum class Kind { Application, Workbooks, Workbook, Sheets, Worksheet, Range, Font };

// One id per name, whatever object has it, as the application gives them.
const std::map<std::wstring, DISPID>& MemberIds() {
    static const std::map<std::wstring, DISPID> ids = {
        {L"Visible", 558}, {L"UserControl", 1210}, {L"Workbooks", 572}, {L"Add", 181},
        {L"Sheets", 485},  {L"Item", 170},         {L"Range", 197},     {L"Value", 6},
        {L"ColumnWidth", 242}, {L"Resize", 256},   {L"Font", 146},      {L"Bold", 96},
    };
    return ids;
}

bool KindHas(Kind kind, const std::wstring& name) {
    switch (kind) {
    case Kind::Application: return name == L"Visible" || name == L"UserControl" || name == L"Workbooks";
    case Kind::Workbooks: return name == L"Add";
    case Kind::Workbook: return name == L"Sheets";
    case Kind::Sheets: return name == L"Item";
    case Kind::Worksheet: return name == L"Range";
    case Kind::Range: return name == L"Value" || name == L"ColumnWidth" || name == L"Resize" || name == L"Font";
    case Kind::Font: return name == L"Bold";
    }
    return false;
}

std::wstring NameOf(DISPID id) {
    for (const auto& [name, known] : MemberIds())
        if (known == id) return name;
    return L"#" + std::to_wstring(id);
}

std::wstring TextOf(const VARIANT* v) {
    winkit::UniqueVariant text;
    if (V_VT(v) == VT_BOOL) return std::to_wstring(static_cast<int>(V_BOOL(v)));
    if (SUCCEEDED(VariantChangeType(text.get(), const_cast<VARIANT*>(v), 0, VT_BSTR)))
        return std::wstring(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get())));
    return L"?";
}

ArgumentRecord Record(const VARIANT* v) {
    ArgumentRecord record;
    record.type = V_VT(v);
    if (!(V_VT(v) & VT_ARRAY)) {
        record.text = TextOf(v);
        return record;
    }
    SAFEARRAY* array = V_ARRAY(v);
    record.dimensions = SafeArrayGetDim(array);
    if (record.dimensions != 2) return record;
    SafeArrayGetLBound(array, 1, &record.rowLower);
    SafeArrayGetUBound(array, 1, &record.rowUpper);
    SafeArrayGetLBound(array, 2, &record.columnLower);
    SafeArrayGetUBound(array, 2, &record.columnUpper);
    for (LONG r = record.rowLower; r <= record.rowUpper; ++r) {
        record.cells.emplace_back();
        for (LONG c = record.columnLower; c <= record.columnUpper; ++c) {
            LONG index[2] = {r, c};
            winkit::UniqueVariant element;
            SafeArrayGetElement(array, index, element.get());
            record.allTexts &= element.vt() == VT_BSTR;
            record.cells.back().push_back(TextOf(element.get()));
        }
    }
    return record;
}

class FakeObject final : public IDispatch {
public:
    FakeObject(std::shared_ptr<FakeSpreadsheet> model, Kind kind, std::wstring label)
        : model_(std::move(model)), kind_(kind), label_(std::move(label)) {
        ++model_->liveObjects;
    }
    ~FakeObject() { --model_->liveObjects; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }

    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        std::wstring name = count && names[0] ? names[0] : L"";
        model_->lookups.push_back({label_, name, iid == IID_NULL, count, locale});
        ids[0] = DISPID_UNKNOWN;
        auto found = MemberIds().find(name);
        if (found == MemberIds().end() || !KindHas(kind_, name)) return DISP_E_UNKNOWNNAME;
        ids[0] = found->second;
        return S_OK;
    }

    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD kind, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        CallRecord call;
        call.object = label_;
        call.member = NameOf(id);
        call.kind = kind;
        call.locale = locale;
        call.nullInterface = iid == IID_NULL;
        call.exceptionInfoGiven = exception != nullptr;
        call.argumentErrorGiven = argumentError != nullptr;
        for (UINT i = 0; i < parameters->cArgs; ++i) call.received.push_back(Record(&parameters->rgvarg[i]));
        for (UINT i = 0; i < parameters->cNamedArgs; ++i) call.named.push_back(parameters->rgdispidNamedArgs[i]);
        call.result = Run(call, result);
        model_->calls.push_back(call);
        return call.result;
    }

private:
    HRESULT Run(const CallRecord& call, VARIANT* result) {
        if (!KindHas(kind_, call.member)) return DISP_E_MEMBERNOTFOUND;
        if (model_->failure) {
            HRESULT hr = model_->failure(call);
            if (FAILED(hr)) {
                if (!model_->failureDescription.empty()) PlantThreadError(nullptr, model_->failureDescription.c_str());
                return hr;
            }
        }
        std::vector<ArgumentRecord> arguments = call.Positional();
        if (call.member == L"Workbooks") return Hand(result, Kind::Workbooks, L"Workbooks");
        if (call.member == L"Add") return Hand(result, Kind::Workbook, L"Workbook");
        if (call.member == L"Sheets") return Hand(result, Kind::Sheets, L"Sheets");
        if (call.member == L"Item") {
            int index = arguments.size() == 1 ? _wtoi(arguments[0].text.c_str()) : 0;
            if (index < 1 || index > model_->sheetCount) return DISP_E_BADINDEX;
            return Hand(result, Kind::Worksheet, L"Sheet" + std::to_wstring(index));
        }
        if (call.member == L"Range") {
            if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
            return Hand(result, Kind::Range, label_ + L"!" + arguments[0].text);
        }
        if (call.member == L"Resize") {
            if (arguments.size() != 2) return DISP_E_BADPARAMCOUNT;
            return Hand(result, Kind::Range, label_ + L".Resize(" + arguments[0].text + L"," + arguments[1].text + L")");
        }
        if (call.member == L"Font") return Hand(result, Kind::Font, label_ + L".Font");
        // Visible, UserControl, Value, ColumnWidth, Bold: puts that are only recorded.
        return (call.kind & DISPATCH_PROPERTYPUT) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }

    HRESULT Hand(VARIANT* result, Kind kind, const std::wstring& label) {
        if (!result) return E_INVALIDARG;
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = new FakeObject(model_, kind, label);
        return S_OK;
    }

    std::shared_ptr<FakeSpreadsheet> model_;
    Kind kind_;
    std::wstring label_;
    ULONG refs_ = 1;
};

} // namespace

std::wstring ArgumentRecord::Describe() const {
    if (type == (VT_ARRAY | VT_VARIANT))
        return L"VT_ARRAY|VT_VARIANT [" + std::to_wstring(rowLower) + L".." + std::to_wstring(rowUpper) + L"," +
               std::to_wstring(columnLower) + L".." + std::to_wstring(columnUpper) + L"]";
    switch (type) {
    case VT_BSTR: return L"VT_BSTR \"" + text + L"\"";
    case VT_I4: return L"VT_I4 " + text;
    case VT_BOOL: return L"VT_BOOL " + text;
    default: return L"VT_" + std::to_wstring(type) + L" " + text;
    }
}

std::vector<ArgumentRecord> CallRecord::Positional() const {
    size_t skip = named.empty() ? 0 : named.size();
    std::vector<ArgumentRecord> natural;
    for (size_t i = received.size(); i > skip; --i) natural.push_back(received[i - 1]);
    return natural;
}

const ArgumentRecord* CallRecord::PutValue() const {
    for (size_t i = 0; i < named.size() && i < received.size(); ++i)
        if (named[i] == DISPID_PROPERTYPUT) return &received[i];
    return nullptr;
}

std::wstring CallRecord::Line() const {
    std::wstring verb = kind == DISPATCH_METHOD ? L"call" : kind == DISPATCH_PROPERTYGET ? L"get"
                      : kind == DISPATCH_PROPERTYPUT ? L"put" : L"kind" + std::to_wstring(kind);
    std::wstring line = object + L" " + verb + L" " + member;
    std::vector<ArgumentRecord> positional = Positional();
    if (!positional.empty() || kind != DISPATCH_PROPERTYPUT) {
        line += L"(";
        for (size_t i = 0; i < positional.size(); ++i) line += (i ? L", " : L"") + positional[i].Describe();
        line += L")";
    }
    if (const ArgumentRecord* value = PutValue()) line += L" = " + value->Describe();
    return line;
}

IDispatch* FakeSpreadsheet::NewApplication() {
    ++applicationsMade;
    return new FakeObject(shared_from_this(), Kind::Application, L"Application");
}

std::vector<std::wstring> FakeSpreadsheet::Lines() const {
    std::vector<std::wstring> lines;
    for (const CallRecord& call : calls) lines.push_back(call.Line());
    return lines;
}

class FakeSpreadsheetClass::Factory final : public IClassFactory {
public:
    explicit Factory(std::shared_ptr<FakeSpreadsheet> model) : model_(std::move(model)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IDispatch* application = model_->NewApplication();
        HRESULT hr = application->QueryInterface(iid, out);
        application->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<FakeSpreadsheet> model_;
    ULONG refs_ = 1;
};

FakeSpreadsheetClass::FakeSpreadsheetClass(std::shared_ptr<FakeSpreadsheet> model)
    : factory_(new Factory(std::move(model))) {
    registration_ = CoRegisterClassObject(CLSID_FakeSpreadsheet, factory_, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeSpreadsheetClass::~FakeSpreadsheetClass() {
    if (SUCCEEDED(registration_)) CoRevokeClassObject(cookie_);
    factory_->Release();
}
