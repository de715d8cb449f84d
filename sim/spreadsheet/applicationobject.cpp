#include "applicationobject.h"

#include <algorithm>
#include "reportfiles.h"
#include "workbookobjects.h"

namespace {

std::vector<ApplicationObject*>& AliveList() {
    static std::vector<ApplicationObject*> list;
    return list;
}

long madeCount = 0;

// Visible and UserControl: truth values that are only remembered.
HRESULT FlagProperty(bool& flag, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result,
                     bool isPut, bool isRead) {
    if (arguments.count() != 0) return DISP_E_BADPARAMCOUNT;
    if (isPut) return ArgumentBool(arguments.putValue(), &flag);
    if (isRead) {
        result = winkit::UniqueVariant::Bool(flag);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace

ApplicationObject::ApplicationObject() {
    AliveList().push_back(this);
    ++madeCount;
}

ApplicationObject::~ApplicationObject() {
    KeepWorkbooks();
    auto& alive = AliveList();
    alive.erase(std::remove(alive.begin(), alive.end(), this), alive.end());
}

winkit::ComPtr<ApplicationObject> ApplicationObject::Create(WorkbookKeeper keeper) {
    winkit::ComPtr<ApplicationObject> application = NewAutomationObject<ApplicationObject>();
    application->keeper_ = std::move(keeper);
    return application;
}

std::shared_ptr<Workbook> ApplicationObject::AddWorkbook() {
    workbooks_.push_back(std::make_shared<Workbook>(Workbook::New()));
    return workbooks_.back();
}

void ApplicationObject::KeepWorkbooks() noexcept {
    if (kept_) return;
    kept_ = true;
    if (!keeper_) return;
    for (const auto& book : workbooks_) {
        try {
            keeper_(*book);
        } catch (...) {
            // One workbook that cannot be kept must not cost the others.
        }
    }
}

std::vector<ApplicationObject*> ApplicationObject::Alive() { return AliveList(); }

long ApplicationObject::MadeCount() noexcept { return madeCount; }

bool ApplicationObject::HasMember(DISPID id) const {
    return id == kMemberVisible || id == kMemberUserControl || id == kMemberWorkbooks;
}

HRESULT ApplicationObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    switch (id) {
    case kMemberVisible:
        return FlagProperty(visible_, kind, arguments, result, IsPut(kind), IsRead(kind));
    case kMemberUserControl:
        return FlagProperty(userControl_, kind, arguments, result, IsPut(kind), IsRead(kind));
    case kMemberWorkbooks: {
        if (IsPut(kind) || !IsCallOrRead(kind)) return DISP_E_MEMBERNOTFOUND;
        if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
        auto workbooks = NewAutomationObject<WorkbooksObject>();
        workbooks->application = winkit::ComPtr<ApplicationObject>(this);
        result = DispatchResult(std::move(workbooks));
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT WorkbooksObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (id != kMemberAdd || IsPut(kind) || !IsCallOrRead(kind)) return DISP_E_MEMBERNOTFOUND;
    // Templates are not offered: a new workbook is always the standard one.
    if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
    auto workbook = NewAutomationObject<WorkbookObject>();
    workbook->place = {application, application->AddWorkbook(), 0};
    result = DispatchResult(std::move(workbook));
    return S_OK;
}

HRESULT CreateSpreadsheetApplication(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
        auto application = ApplicationObject::Create([](const Workbook& book) { SaveWorkbook(book); });
        return application->QueryInterface(iid, out);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
