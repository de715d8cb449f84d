#pragma once
// The object document: O elements (objects, which may nest) holding A elements
// (properties) holding E elements (entries), all data in one-letter attributes.
#include <memory>
#include <vector>
#include "objrecords.h"
#include "saxschemaparser.h"

class ObjSchema : public SAXSchemaParser {
public:
    enum ElementId { kObject = 0, kAttribute = 1, kEntry = 2 };
    const SchemaEntry* GetSchema() override;
};

class ElemHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit ElemHandler(std::vector<ElemRecord>& destination) : destination_(destination) {}
    HRESULT OnStart(int id) override;
    HRESULT OnAttribute(int id, SchemaValue value) override;
    HRESULT OnEnd(int id) override;

private:
    ElemRecord record_;
    std::vector<ElemRecord>& destination_;
};

class AttHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit AttHandler(ObjRecord& owner) : owner_(owner), entries_(record_.elements) {}
    HRESULT OnStart(int id) override;
    HRESULT OnAttribute(int id, SchemaValue value) override;
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override;
    HRESULT OnEnd(int id) override;

private:
    AttRecord record_;
    ObjRecord& owner_;
    ElemHandler entries_;
};

// Handles one O element; a nested O gets a handler of its own whose record goes to
// this record's objects when it ends.
class ObjHandler : public DefaultSAXSchemaElementHandler {
public:
    explicit ObjHandler(std::vector<ObjRecord>& destination) : destination_(destination), properties_(record_) {}
    ~ObjHandler() override;
    ObjHandler(const ObjHandler&) = delete;
    ObjHandler& operator=(const ObjHandler&) = delete;

    HRESULT OnAttribute(int id, SchemaValue value) override;
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override;
    HRESULT OnChildEnd(int childId, SAXSchemaElementHandler* child) override;
    HRESULT OnEnd(int id) override;

private:
    std::vector<ObjRecord>& destination_;
    ObjRecord record_;
    AttHandler properties_;
    std::unique_ptr<ObjHandler> nested_;  // the open nested O, if any
};

class ObjParser : public ObjSchema {
public:
    explicit ObjParser(std::vector<ObjRecord>& destination) : root_(destination) {}
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override;

private:
    ObjHandler root_;
};

// Empties destination and reads the document into it: one record per top-level O
// element, with its nested objects, properties and entries inside. Returns the
// parse's HRESULT; on failure its QRError document is the thread's error information.
HRESULT ParseObjects(std::vector<ObjRecord>& destination, BSTR document);
