#pragma once
// The spreadsheet application: Visible, UserControl and Workbooks, and the workbooks it
// made. When its last reference goes (every object of its workbooks holds one), each
// workbook is kept by the application's keeper: by default written as an .xlsx file.
#include <functional>
#include <memory>
#include <vector>
#include "automationobject.h"
#include "workbook.h"

using WorkbookKeeper = std::function<void(const Workbook&)>;

class ApplicationObject final : public AutomationObject {
public:
    ApplicationObject();
    ~ApplicationObject() override;

    // Made by the class object with the default keeper, by tests with their own.
    static winkit::ComPtr<ApplicationObject> Create(WorkbookKeeper keeper);

    std::shared_ptr<Workbook> AddWorkbook();
    // Keeps every workbook now, once; later releases keep nothing more.
    void KeepWorkbooks() noexcept;
    // The applications alive in this process (the server keeps them when it must quit).
    static std::vector<ApplicationObject*> Alive();
    // How many were ever made in this process.
    static long MadeCount() noexcept;

protected:
    bool HasMember(DISPID id) const override;
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;

private:
    bool visible_ = false;
    bool userControl_ = false;
    bool kept_ = false;
    WorkbookKeeper keeper_;
    std::vector<std::shared_ptr<Workbook>> workbooks_;
};

class WorkbooksObject final : public AutomationObject {
public:
    winkit::ComPtr<ApplicationObject> application;

protected:
    bool HasMember(DISPID id) const override { return id == kMemberAdd; }
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;
};

// The class object's creator: an application whose workbooks are saved as report files.
HRESULT CreateSpreadsheetApplication(IUnknown* outer, REFIID iid, void** out);
