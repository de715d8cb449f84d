#include "tasklistreport.h"

#include <cwchar>
#include <initializer_list>
#include <optional>
#include "automationcall.h"
#include "diagnostics/hresulttext.h"
#include "diagnostics/traced.h"
#include "reportcells.h"
#include "tasklistmodel.h"
#include "userstamp.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

namespace {

// One id cache per member name for the whole report: each name is looked up once, on the
// first object it is used with, and reused on later objects of the same kind.
struct MemberIds {
    DISPID visible = -1, userControl = -1, workbooks = -1, add = -1, sheets = -1, item = -1;
    DISPID range = -1, value = -1, columnWidth = -1, resize = -1, font = -1, bold = -1;
};

winkit::ComPtr<IDispatch> DispatchIn(const winkit::UniqueVariant& result) {
    winkit::ComPtr<IDispatch> object;
    if (result.vt() == VT_DISPATCH) object = winkit::ComPtr<IDispatch>(V_DISPATCH(result.get()));
    else if (result.vt() == VT_UNKNOWN && V_UNKNOWN(result.get()))
        V_UNKNOWN(result.get())->QueryInterface(IID_IDispatch, object.put_void());
    return object;
}

VARIANT ArrayArgument(const winkit::UniqueSafeArray& block) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&v) = block.get();
    return v;
}

// The automation steps of one report. Each step's HRESULT is recorded in the report's
// scope and the report goes on; a step whose object was not obtained then fails in turn
// (AutomationCall has no object to call).
class ReportSteps {
public:
    explicit ReportSteps(QRComException& scope) : scope_(scope) {}

    MemberIds ids;

    winkit::ComPtr<IDispatch> Get(IDispatch* object, DISPID& id, const wchar_t* name,
                                  std::initializer_list<VARIANT> arguments = {}) {
        return Fetch(DISPATCH_PROPERTYGET, object, id, name, arguments);
    }
    winkit::ComPtr<IDispatch> Call(IDispatch* object, DISPID& id, const wchar_t* name) {
        return Fetch(DISPATCH_METHOD, object, id, name, {});
    }
    void Put(IDispatch* object, DISPID& id, const wchar_t* name, const VARIANT& value) {
        Record(DISPATCH_PROPERTYPUT, nullptr, object, id, name, {value});
    }

    winkit::ComPtr<IDispatch> Range(IDispatch* sheet, const wchar_t* cell) {
        winkit::UniqueVariant reference = winkit::UniqueVariant::String(cell);
        return Get(sheet, ids.range, L"Range", {*reference.get()});
    }
    winkit::ComPtr<IDispatch> Resize(IDispatch* range, size_t rows, size_t columns) {
        winkit::UniqueVariant r = winkit::UniqueVariant::Long(static_cast<LONG>(rows));
        winkit::UniqueVariant c = winkit::UniqueVariant::Long(static_cast<LONG>(columns));
        return Get(range, ids.resize, L"Resize", {*r.get(), *c.get()});
    }
    void PutText(IDispatch* range, const std::wstring& text) {
        Put(range, ids.value, L"Value", *winkit::UniqueVariant::String(text).get());
    }
    void PutColumnWidth(IDispatch* range, LONG width) {
        Put(range, ids.columnWidth, L"ColumnWidth", *winkit::UniqueVariant::Long(width).get());
    }
    void PutCellText(IDispatch* sheet, const wchar_t* cell, const std::wstring& text) {
        PutText(Range(sheet, cell).get(), text);
    }

private:
    winkit::ComPtr<IDispatch> Fetch(WORD kind, IDispatch* object, DISPID& id, const wchar_t* name,
                                    std::initializer_list<VARIANT> arguments) {
        winkit::UniqueVariant result;
        if (FAILED(Record(kind, result.get(), object, id, name, arguments))) return {};
        return DispatchIn(result);
    }
    HRESULT Record(WORD kind, VARIANT* result, IDispatch* object, DISPID& id, const wchar_t* name,
                   std::initializer_list<VARIANT> arguments) {
        // A failed step takes only the error information its own call left.
        SetErrorInfo(0, nullptr);
        HRESULT hr = AutomationCall(kind, result, object, id, name, arguments);
        scope_.SetResult(hr);
        return hr;
    }

    QRComException& scope_;
};

struct Unreachable {
    SpreadsheetUnreachable reason;
    HRESULT cause;
};

winkit::ComPtr<IDispatch> StartSpreadsheet(QRComException& xhr, std::optional<Unreachable>& unreachable) {
    CLSID clsid = {};
    HRESULT hr = CLSIDFromProgID(kSpreadsheetProgId, &clsid);
    // Any failure here leaves no class to start, not only an unknown ProgID.
    if (FAILED(hr)) {
        unreachable = Unreachable{SpreadsheetUnreachable::NotRegistered, hr};
        xhr.Throw(QR_HERE, E_FAIL, L"%ls is not registered", kSpreadsheetProgId);
    }
    winkit::ComPtr<IDispatch> application;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, application.put_void());
    if (FAILED(hr) || !application) {
        unreachable = Unreachable{SpreadsheetUnreachable::NotStarted, FAILED(hr) ? hr : E_NOINTERFACE};
        xhr.Throw(QR_HERE, E_FAIL, L"%ls could not be started", kSpreadsheetProgId);
    }
    return application;
}

std::wstring WorkspaceName(IWorkspace* workspace) {
    winkit::UniqueBstr name;
    // Its result is not examined: a failure leaves the cell empty.
    if (workspace) workspace->GetWorkspaceName(name.put());
    return name.str();
}

HRESULT WriteReport(const TaskListModel& model, IWorkspace* workspace, std::optional<Unreachable>& unreachable) {
    return Traced(L"CExcelApp::OpenFile", 1, [&](QRComException& xhr) {
        unreachable.reset();
        winkit::ComPtr<IDispatch> application = StartSpreadsheet(xhr, unreachable);
        ReportSteps steps(xhr);
        MemberIds& ids = steps.ids;
        winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
        steps.Put(application.get(), ids.visible, L"Visible", *yes.get());
        steps.Put(application.get(), ids.userControl, L"UserControl", *yes.get());

        winkit::UniqueVariant workbooksResult;
        HRESULT hr = AutomationCall(DISPATCH_PROPERTYGET, workbooksResult.get(), application.get(), ids.workbooks, L"Workbooks");
        winkit::ComPtr<IDispatch> workbooks;
        if (SUCCEEDED(hr)) workbooks = DispatchIn(workbooksResult);
        if (!workbooks) {
            unreachable = Unreachable{SpreadsheetUnreachable::NoWorkbooks, FAILED(hr) ? hr : E_NOINTERFACE};
            xhr.Throw(QR_HERE, E_FAIL, L"The workbooks of %ls cannot be read", kSpreadsheetProgId);
        }

        winkit::ComPtr<IDispatch> workbook = steps.Call(workbooks.get(), ids.add, L"Add");
        winkit::ComPtr<IDispatch> sheets = steps.Get(workbook.get(), ids.sheets, L"Sheets");

        // Sheet 1: the cover block.
        winkit::ComPtr<IDispatch> cover = steps.Get(sheets.get(), ids.item, L"Item", {*winkit::UniqueVariant::Long(1).get()});
        steps.PutCellText(cover.get(), L"A1", L"");
        winkit::ComPtr<IDispatch> d1 = steps.Range(cover.get(), L"D1");
        steps.PutColumnWidth(d1.get(), 30);
        steps.PutText(d1.get(), L"To Do List Report for Workspace:");
        steps.PutCellText(cover.get(), L"D2", L"Created By:");
        steps.PutCellText(cover.get(), L"D3", L"On:");
        winkit::ComPtr<IDispatch> e1 = steps.Range(cover.get(), L"E1");
        steps.PutColumnWidth(e1.get(), 40);
        steps.PutText(e1.get(), WorkspaceName(workspace));
        UserAndTime stamp = StampUserAndTime(workspace);
        steps.PutCellText(cover.get(), L"E2", stamp.userName);
        steps.PutCellText(cover.get(), L"E3", stamp.timeText);

        // Sheet 2: the header row, bold and 20 wide, then the list's texts.
        std::vector<std::wstring> columnNames;
        for (const ColumnEntry& column : model.Columns()) columnNames.push_back(column.name);
        const size_t columns = columnNames.size();
        const size_t rows = model.Tasks().Count();
        winkit::ComPtr<IDispatch> table = steps.Get(sheets.get(), ids.item, L"Item", {*winkit::UniqueVariant::Long(2).get()});
        winkit::ComPtr<IDispatch> header = steps.Resize(steps.Range(table.get(), L"A1").get(), 1, columns);
        steps.PutColumnWidth(header.get(), 20);
        winkit::ComPtr<IDispatch> font = steps.Get(header.get(), ids.font, L"Font");
        steps.Put(font.get(), ids.bold, L"Bold", *yes.get());
        winkit::UniqueSafeArray names = HeaderBlock(columnNames);
        steps.Put(header.get(), ids.value, L"Value", ArrayArgument(names));

        winkit::ComPtr<IDispatch> data = steps.Resize(steps.Range(table.get(), L"A2").get(), rows, columns);
        winkit::UniqueSafeArray texts = DataBlock(model, rows);
        steps.Put(data.get(), ids.value, L"Value", ArrayArgument(texts));
    });
}

} // namespace

std::wstring SpreadsheetUnreachableMessage(SpreadsheetUnreachable reason, HRESULT cause) {
    std::wstring message = std::wstring(L"The report could not be made: the spreadsheet application \"") +
                           kSpreadsheetProgId + L"\" is not available.\n\n";
    switch (reason) {
    case SpreadsheetUnreachable::NotRegistered: message += L"It is not registered on this computer."; break;
    case SpreadsheetUnreachable::NotStarted: message += L"It could not be started."; break;
    case SpreadsheetUnreachable::NoWorkbooks: message += L"It did not give access to its workbooks."; break;
    }
    // The system's text alone, where it has one, would not name the failure's code.
    std::wstring text = HResultMessage(cause);
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(cause));
    if (text.find(code) == std::wstring::npos) text += std::wstring(L" (") + code + L")";
    return message + L"\n" + text;
}

HRESULT ReportTaskList(HWND owner, const TaskListModel& model, IWorkspace* workspace, ReportNotice notice) {
    std::optional<Unreachable> unreachable;
    HRESULT hr = WriteReport(model, workspace, unreachable);
    if (unreachable && notice == ReportNotice::TellUserWhenUnreachable) {
        // The box must not take the report's error information off the thread.
        winkit::ComPtr<IErrorInfo> error;
        GetErrorInfo(0, error.put());
        MessageBoxW(owner, SpreadsheetUnreachableMessage(unreachable->reason, unreachable->cause).c_str(),
                    L"To Do List", MB_OK | MB_ICONEXCLAMATION);
        SetErrorInfo(0, error.get());
    }
    return hr;
}
