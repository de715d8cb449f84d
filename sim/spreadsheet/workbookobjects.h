#pragma once
// A workbook, its sheet collection, one worksheet, a range of cells and its font. Each
// holds the application, so that the application outlives every object reached from it.
#include <memory>
#include "applicationobject.h"
#include "cellarea.h"

// Where an object's cells are: the workbook, and the sheet's 0-based position.
struct SheetPlace {
    winkit::ComPtr<ApplicationObject> application;
    std::shared_ptr<Workbook> book;
    size_t sheet = 0;

    Worksheet& worksheet() const { return book->sheets[sheet]; }
};

class WorkbookObject final : public AutomationObject {
public:
    SheetPlace place;  // the sheet position is not used

protected:
    bool HasMember(DISPID id) const override { return id == kMemberSheets; }
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;
};

class SheetsObject final : public AutomationObject {
public:
    SheetPlace place;  // the sheet position is not used

protected:
    bool HasMember(DISPID id) const override { return id == kMemberItem; }
    // Item(index): 1-based position, or the sheet's name.
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;
};

class WorksheetObject final : public AutomationObject {
public:
    SheetPlace place;

protected:
    bool HasMember(DISPID id) const override { return id == kMemberRange; }
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;
};

class RangeObject final : public AutomationObject {
public:
    SheetPlace place;
    CellArea area;

protected:
    bool HasMember(DISPID id) const override;
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;

private:
    HRESULT Value(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result);
    HRESULT ColumnWidth(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result);
    HRESULT Resize(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result);
};

class FontObject final : public AutomationObject {
public:
    SheetPlace place;
    CellArea area;

protected:
    bool HasMember(DISPID id) const override { return id == kMemberBold; }
    HRESULT Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) override;
};
