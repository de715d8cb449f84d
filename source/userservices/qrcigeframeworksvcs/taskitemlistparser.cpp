#include "taskitemlistparser.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace {

enum AttributeId : int {
    kToDoIndex = 3, kDelete = 4, kRun = 5, kDefer = 6,
    kToDoName = 7, kToDoDescription = 8, kToDoNotes = 9, kToDoClass = 10,
    kToDoCategory = 11, kToDoStatus = 12, kToDoDeletedFlag = 13,
    kToDoItemName = 14, kToDoCreatedDate = 15, kToDoCreatedBy = 16, kToDoModifiedDate = 17,
    kToDoModifiedBy = 18, kToDoRunDate = 19, kToDoRunBy = 20, kToDoDeletedDate = 21,
    kToDoDeletedBy = 22, kToDoEngineeringTool = 23, kToDoSrcDocName = 24, kToDoSrcDocType = 25,
};

const SchemaEntry kTaskItemListSchema[] = {
    {kSchemaStart, nullptr, 0},
    {kComplexElement, L"TaskItemList", TaskItemListSchema::kTaskItemList},
    {kExpectedChild, nullptr, TaskItemListSchema::kPrivilege},
    {kExpectedChild, nullptr, TaskItemListSchema::kTaskItem},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"Privilege", TaskItemListSchema::kPrivilege},
    {kBoolAttribute, L"Delete", kDelete},
    {kBoolAttribute, L"Run", kRun},
    {kBoolAttribute, L"Defer", kDefer},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"TaskItem", TaskItemListSchema::kTaskItem},
    {kLongAttribute, L"ToDo_Index", kToDoIndex},
    {kStringAttribute, L"ToDo_Name", kToDoName},
    {kStringAttribute, L"ToDo_Description", kToDoDescription},
    {kStringAttribute, L"ToDo_Notes", kToDoNotes},
    {kStringAttribute, L"ToDo_Class", kToDoClass},
    {kLongAttribute, L"ToDo_Category", kToDoCategory},
    {kLongAttribute, L"ToDo_Status", kToDoStatus},
    {kLongAttribute, L"ToDo_DeletedFlag", kToDoDeletedFlag},
    {kStringAttribute, L"ToDo_ItemName", kToDoItemName},
    {kStringAttribute, L"ToDo_CreatedDate", kToDoCreatedDate},
    {kStringAttribute, L"ToDo_CreatedBy", kToDoCreatedBy},
    {kStringAttribute, L"ToDo_ModifiedDate", kToDoModifiedDate},
    {kStringAttribute, L"ToDo_ModifiedBy", kToDoModifiedBy},
    {kStringAttribute, L"ToDo_RunDate", kToDoRunDate},
    {kStringAttribute, L"ToDo_RunBy", kToDoRunBy},
    {kStringAttribute, L"ToDo_DeletedDate", kToDoDeletedDate},
    {kStringAttribute, L"ToDo_DeletedBy", kToDoDeletedBy},
    {kStringAttribute, L"ToDo_SrcDocName", kToDoSrcDocName},
    {kStringAttribute, L"ToDo_SrcDocType", kToDoSrcDocType},
    {kStringAttribute, L"ToDo_EngineeringTool", kToDoEngineeringTool},
    {kEndMembers, nullptr, 0},
    {kSchemaEnd, nullptr, 0},
};

// The text field an attribute id fills, or null for the integer ones.
std::wstring TaskItem::* TextField(int id) {
    switch (id) {
    case kToDoName: return &TaskItem::ToDo_Name;
    case kToDoDescription: return &TaskItem::ToDo_Description;
    case kToDoNotes: return &TaskItem::ToDo_Notes;
    case kToDoClass: return &TaskItem::ToDo_Class;
    case kToDoItemName: return &TaskItem::ToDo_ItemName;
    case kToDoCreatedDate: return &TaskItem::ToDo_CreatedDate;
    case kToDoCreatedBy: return &TaskItem::ToDo_CreatedBy;
    case kToDoModifiedDate: return &TaskItem::ToDo_ModifiedDate;
    case kToDoModifiedBy: return &TaskItem::ToDo_ModifiedBy;
    case kToDoRunDate: return &TaskItem::ToDo_RunDate;
    case kToDoRunBy: return &TaskItem::ToDo_RunBy;
    case kToDoDeletedDate: return &TaskItem::ToDo_DeletedDate;
    case kToDoDeletedBy: return &TaskItem::ToDo_DeletedBy;
    case kToDoEngineeringTool: return &TaskItem::ToDo_EngineeringTool;
    case kToDoSrcDocName: return &TaskItem::ToDo_SrcDocName;
    case kToDoSrcDocType: return &TaskItem::ToDo_SrcDocType;
    default: return nullptr;
    }
}

} // namespace

const SchemaEntry* TaskItemListSchema::GetSchema() { return kTaskItemListSchema; }

HRESULT TaskItemListParser::GetChildHandler(int childId, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    if (childId != kTaskItemList) return E_INVALIDARG;
    *handler = &root_;
    return S_OK;
}

HRESULT TaskItemListHandler::GetChildHandler(int childId, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    switch (childId) {
    case TaskItemListSchema::kTaskItem: *handler = &tasks_; return S_OK;
    case TaskItemListSchema::kPrivilege: *handler = &privileges_; return S_OK;
    default: return E_INVALIDARG;
    }
}

// Records are built in place, over the records of the previous load where there are
// some: their texts keep their room, so reloading a similar list allocates almost
// nothing. A record counts once its element has ended.
HRESULT TaskItemHandler::OnStart(int) {
    std::vector<TaskItem>& items = collection_.Items();
    building_ = false;
    if (finished_ < items.size()) {
        TaskItem& item = items[finished_];
        item.ToDo_Index = item.ToDo_Category = item.ToDo_Status = item.ToDo_DeletedFlag = 0;
        for (int id = kToDoName; id <= kToDoSrcDocType; ++id)
            if (auto field = TextField(id)) (item.*field).clear();
    } else {
        try {
            items.emplace_back();
        } catch (const std::bad_alloc&) {
            return S_OK;  // the record is dropped; the tasks around it still load
        }
    }
    building_ = true;
    return S_OK;
}

HRESULT TaskItemHandler::OnAttribute(int id, SchemaValue value) {
    if (!building_) return S_OK;
    TaskItem& item = collection_.Items()[finished_];
    switch (id) {
    case kToDoIndex: item.ToDo_Index = value.value.integer; return S_OK;
    case kToDoCategory: item.ToDo_Category = value.value.integer; return S_OK;
    case kToDoStatus: item.ToDo_Status = value.value.integer; return S_OK;
    case kToDoDeletedFlag: item.ToDo_DeletedFlag = value.value.integer; return S_OK;
    }
    auto field = TextField(id);
    if (!field) return S_OK;
    try {
        (item.*field).assign(value.value.text);
    } catch (const std::bad_alloc&) {
        building_ = false;  // the record is dropped
    }
    return S_OK;
}

HRESULT TaskItemHandler::OnEnd(int) {
    if (building_) ++finished_;
    building_ = false;
    return S_OK;
}

void TaskItemHandler::Finish() noexcept {
    std::vector<TaskItem>& items = collection_.Items();
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(finished_), items.end());
    building_ = false;
}

HRESULT PrivilegeHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kDelete: collection_.Delete = value.value.boolean; break;
    case kRun: collection_.Run = value.value.boolean; break;
    case kDefer: collection_.Defer = value.value.boolean; break;
    }
    return S_OK;
}

// A task element as the framework writes it takes a few hundred characters.
constexpr size_t kCharactersPerTask = 256;

// The items end up exactly the tasks whose elements ended before the parse stopped;
// the records of the previous load are reused as they are overwritten. Room for the
// records is made up front, in proportion to the text: growing record by record moves
// every record made so far at each step (a document of shorter tasks still grows as
// it must, and without the room the load goes on without it).
HRESULT TaskItemCollection::Load(BSTR document) {
    try {
        items_.reserve(SysStringLen(document) / kCharactersPerTask);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    TaskItemListParser parser(*this);
    HRESULT hr = parser.ParseString(document);
    parser.Finish();
    indexed_ = false;
    return hr;
}
