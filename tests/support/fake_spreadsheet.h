#pragma once
// A stand-in for the spreadsheet application's object model (application, workbooks,
// workbook, sheets, worksheets, ranges, fonts) with IDispatch written by hand. Every
// object records each name lookup and each call it receives into its model, in order.
#include <windows.h>
#include <oleauto.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct NameLookup {
    std::wstring object;  // the label of the object asked, e.g. "Sheet1"
    std::wstring name;
    bool nullInterface = false;  // asked with IID_NULL
    UINT count = 0;
    LCID locale = 0;
};

struct ArgumentRecord {
    VARTYPE type = VT_EMPTY;
    std::wstring text;  // texts as they are, whole numbers and truth values in decimal
    // Arrays: dimension count, the bounds of the first (rows) and second (columns)
    // dimension, element texts row by row, and whether every element was a VT_BSTR.
    UINT dimensions = 0;
    LONG rowLower = 0, rowUpper = -1, columnLower = 0, columnUpper = -1;
    std::vector<std::vector<std::wstring>> cells;
    bool allTexts = true;

    // "VT_I4 30", "VT_BSTR \"D1\"", "VT_BOOL -1", "VT_ARRAY|VT_VARIANT [1..1,1..3]"
    std::wstring Describe() const;
};

struct CallRecord {
    std::wstring object;  // "Application", "Sheet2!A1.Resize(1,3).Font", ...
    std::wstring member;  // the member the id stands for
    WORD kind = 0;
    std::vector<ArgumentRecord> received;  // as Invoke got them: last argument first
    std::vector<DISPID> named;
    LCID locale = 0;
    bool nullInterface = false;
    bool exceptionInfoGiven = false;
    bool argumentErrorGiven = false;
    HRESULT result = S_OK;

    // The arguments in the member's own order (a put's value not among them).
    std::vector<ArgumentRecord> Positional() const;
    const ArgumentRecord* PutValue() const;
    // "Application put Visible = VT_BOOL -1", "Sheets get Item(VT_I4 2)", "Workbooks call Add()"
    std::wstring Line() const;
};

class FakeSpreadsheet : public std::enable_shared_from_this<FakeSpreadsheet> {
public:
    std::vector<NameLookup> lookups;
    std::vector<CallRecord> calls;
    int sheetCount = 3;
    // Asked before a call runs: a failure is returned instead, with error information
    // whose description is failureDescription (none when that is empty).
    std::function<HRESULT(const CallRecord&)> failure;
    std::wstring failureDescription = L"fake failure";
    long liveObjects = 0;
    long applicationsMade = 0;

    // A new application object; the caller holds its one reference.
    IDispatch* NewApplication();
    std::vector<std::wstring> Lines() const;
};

// The fake's class, registered for this process as a local server under this class id.
extern const CLSID CLSID_FakeSpreadsheet;

// Registers the fake's class object for the process (CLSCTX_LOCAL_SERVER) while alive.
class FakeSpreadsheetClass {
public:
    explicit FakeSpreadsheetClass(std::shared_ptr<FakeSpreadsheet> model);
    ~FakeSpreadsheetClass();
    FakeSpreadsheetClass(const FakeSpreadsheetClass&) = delete;
    FakeSpreadsheetClass& operator=(const FakeSpreadsheetClass&) = delete;
    HRESULT registration() const { return registration_; }

private:
    class Factory;
    Factory* factory_;
    DWORD cookie_ = 0;
    HRESULT registration_;
};
