#include "objschema.h"

#include <new>
#include <utility>

namespace {

// Attribute ids of the object document.
enum : int {
    kObjU = 3, kObjN = 4, kObjC = 5, kObjI = 6,
    kAttV = 7, kAttO = 8, kAttU = 9, kAttC = 10,
    kObjX = 11, kElemV = 12, kAttS = 13,
};
// Ids that two elements share.
enum : int { kAttI = kObjI, kElemI = kObjX };

const SchemaEntry kObjSchema[] = {
    {kSchemaStart, nullptr, 0},
    {kComplexElement, L"O", ObjSchema::kObject},
    {kExpectedChild, nullptr, ObjSchema::kAttribute},
    {kLongAttribute, L"X", kObjX},
    {kStringAttribute, L"U", kObjU},
    {kStringAttribute, L"I", kObjI},
    {kStringAttribute, L"N", kObjN},
    {kStringAttribute, L"C", kObjC},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"A", ObjSchema::kAttribute},
    {kExpectedChild, nullptr, ObjSchema::kEntry},
    {kStringAttribute, L"I", kAttI},
    {kStringAttribute, L"V", kAttV},
    {kStringAttribute, L"O", kAttO},
    {kStringAttribute, L"U", kAttU},
    {kLongAttribute, L"S", kAttS},
    {kLongAttribute, L"C", kAttC},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"E", ObjSchema::kEntry},
    {kLongAttribute, L"I", kElemI},
    {kStringAttribute, L"V", kElemV},
    {kEndMembers, nullptr, 0},
    {kSchemaEnd, nullptr, 0},
};

// Records are appended as the elements end; memory running out fails the parse.
template <class Record>
HRESULT Append(std::vector<Record>& list, Record& record) {
    try {
        list.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    record = Record();
    return S_OK;
}

HRESULT Store(std::wstring& field, const SchemaValue& value) {
    try {
        field.assign(value.value.text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace

ObjRecord::~ObjRecord() {
    try {
        while (!objects.empty()) {
            ObjRecord nested = std::move(objects.back());
            objects.pop_back();
            for (ObjRecord& inner : nested.objects) objects.push_back(std::move(inner));
            nested.objects.clear();
        }
    } catch (...) {
        // Out of memory while splicing: the members take the rest apart as usual.
    }
}

const SchemaEntry* ObjSchema::GetSchema() { return kObjSchema; }

// ---- ElemHandler ---------------------------------------------------------------------

HRESULT ElemHandler::OnStart(int) {
    record_ = ElemRecord();
    return S_OK;
}

HRESULT ElemHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kElemI: record_.I = value.value.integer; return S_OK;
    case kElemV: return Store(record_.V, value);
    default: return E_INVALIDARG;
    }
}

HRESULT ElemHandler::OnEnd(int) { return Append(destination_, record_); }

// ---- AttHandler ----------------------------------------------------------------------

HRESULT AttHandler::OnStart(int) {
    record_ = AttRecord();
    return S_OK;
}

HRESULT AttHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kAttI: return Store(record_.I, value);
    case kAttV: return Store(record_.V, value);
    case kAttO: return Store(record_.O, value);
    case kAttU: return Store(record_.U, value);
    case kAttS: record_.S = value.value.integer; return S_OK;
    case kAttC: record_.C = value.value.integer; return S_OK;
    default: return E_INVALIDARG;
    }
}

HRESULT AttHandler::GetChildHandler(int childId, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    if (childId != ObjSchema::kEntry) return E_INVALIDARG;
    *handler = &entries_;
    return S_OK;
}

HRESULT AttHandler::OnEnd(int) { return Append(owner_.attributes, record_); }

// ---- ObjHandler ----------------------------------------------------------------------

ObjHandler::~ObjHandler() {
    // Unlink nested handlers one by one: a deep document must not recurse here.
    std::unique_ptr<ObjHandler> chain = std::move(nested_);
    while (chain) {
        std::unique_ptr<ObjHandler> next = std::move(chain->nested_);
        chain = std::move(next);
    }
}

HRESULT ObjHandler::OnAttribute(int id, SchemaValue value) {
    switch (id) {
    case kObjX: record_.X = value.value.integer; return S_OK;
    case kObjU: return Store(record_.U, value);
    case kObjI: return Store(record_.I, value);
    case kObjN: return Store(record_.N, value);
    case kObjC: return Store(record_.C, value);
    default: return E_INVALIDARG;
    }
}

HRESULT ObjHandler::GetChildHandler(int childId, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    switch (childId) {
    case ObjSchema::kAttribute:
        *handler = &properties_;
        return S_OK;
    case ObjSchema::kObject:
        nested_.reset(new (std::nothrow) ObjHandler(record_.objects));
        if (!nested_) return E_OUTOFMEMORY;
        *handler = nested_.get();
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

HRESULT ObjHandler::OnChildEnd(int childId, SAXSchemaElementHandler*) {
    if (childId == ObjSchema::kObject) nested_.reset();
    return S_OK;
}

HRESULT ObjHandler::OnEnd(int) { return Append(destination_, record_); }

// ---- ObjParser -----------------------------------------------------------------------

HRESULT ObjParser::GetChildHandler(int childId, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    if (childId != kObject) return E_INVALIDARG;
    *handler = &root_;
    return S_OK;
}

HRESULT ParseObjects(std::vector<ObjRecord>& destination, BSTR document) {
    destination.clear();
    ObjParser parser(destination);
    return parser.ParseString(document);
}
