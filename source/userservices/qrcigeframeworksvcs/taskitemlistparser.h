#pragma once
// Reads a TaskItemList document into a TaskItemCollection: the root TaskItemList holds
// TaskItem elements (one task each, all data in ToDo_ attributes) and Privilege
// elements (Delete, Run, Defer), in any order.
#include "saxschemaparser.h"
#include "taskitemcollection.h"

class TaskItemListSchema : public SAXSchemaParser {
public:
    enum ElementId { kTaskItemList = 0, kTaskItem = 1, kPrivilege = 2 };
    const SchemaEntry* GetSchema() override;
};

// Builds one record per TaskItem element and appends it to the collection. A record
// that cannot be allocated is dropped and the parse goes on.
class TaskItemHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit TaskItemHandler(TaskItemCollection& collection) : collection_(collection) {}
    HRESULT OnStart(int id) override;
    HRESULT OnAttribute(int id, SchemaValue value) override;
    HRESULT OnEnd(int id) override;
    // Leaves the collection holding exactly the records whose elements ended.
    void Finish() noexcept;

private:
    TaskItemCollection& collection_;
    size_t finished_ = 0;    // records completed by this parse, from the start of the items
    bool building_ = false;  // the record at finished_ belongs to an open element
};

// Sets the privileges that a Privilege element names; absent ones keep their values.
class PrivilegeHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit PrivilegeHandler(TaskItemCollection& collection) : collection_(collection) {}
    HRESULT OnAttribute(int id, SchemaValue value) override;

private:
    TaskItemCollection& collection_;
};

class TaskItemListHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit TaskItemListHandler(TaskItemCollection& collection) : tasks_(collection), privileges_(collection) {}
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override;
    void Finish() noexcept { tasks_.Finish(); }

private:
    TaskItemHandler tasks_;
    PrivilegeHandler privileges_;
};

// Built for one collection and one Load; Finish ends the Load.
class TaskItemListParser : public TaskItemListSchema {
public:
    explicit TaskItemListParser(TaskItemCollection& collection) : root_(collection) {}
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override;
    void Finish() noexcept { root_.Finish(); }

private:
    TaskItemListHandler root_;
};
