#include "taskitemlistparser.h"

#include <new>
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

HRESULT TaskItemHandler::OnStart(int) {
    working_.ToDo_Index = working_.ToDo_Category = working_.ToDo_Status = working_.ToDo_DeletedFlag = 0;
    for (int id = kToDoName; id <= kToDoSrcDocType; ++id)
        if (auto field = TextField(id)) (working_.*field).clear();
    return S_OK;
}

HRESULT TaskItemHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kToDoIndex: working_.ToDo_Index = value.value.integer; return S_OK;
    case kToDoCategory: working_.ToDo_Category = value.value.integer; return S_OK;
    case kToDoStatus: working_.ToDo_Status = value.value.integer; return S_OK;
    case kToDoDeletedFlag: working_.ToDo_DeletedFlag = value.value.integer; return S_OK;
    }
    auto field = TextField(id);
    if (!field) return S_OK;
    try {
        (working_.*field).assign(value.value.text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT TaskItemHandler::OnEnd(int) {
    try {
        collection_.Items().push_back(working_);
    } catch (const std::bad_alloc&) {
        // The record is dropped; the tasks around it still load.
    }
    return S_OK;
}

HRESULT PrivilegeHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kDelete: collection_.Delete = value.value.boolean; break;
    case kRun: collection_.Run = value.value.boolean; break;
    case kDefer: collection_.Defer = value.value.boolean; break;
    }
    return S_OK;
}

HRESULT TaskItemCollection::Load(BSTR document) {
    Clear();
    TaskItemListParser parser(*this);
    return parser.ParseString(document);
}
