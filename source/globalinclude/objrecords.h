#pragma once
// The records an object document is read into: a tree of objects, each with
// properties that may carry a list of enumerated entries. The letters are the
// document's attribute names; what they mean belongs to the code that reads them.
#include <string>
#include <vector>

struct ElemRecord {
    long I = 0;
    std::wstring V;
};

struct AttRecord {
    std::wstring I, V, O, U;
    long S = 0;
    long C = 0;
    std::vector<ElemRecord> elements;
};

struct ObjRecord {
    long X = 0;
    std::wstring U, I, N, C;
    std::vector<AttRecord> attributes;
    std::vector<ObjRecord> objects;  // the nested O elements

    ObjRecord() = default;
    ObjRecord(const ObjRecord&) = default;
    ObjRecord(ObjRecord&&) noexcept = default;
    ObjRecord& operator=(const ObjRecord&) = default;
    ObjRecord& operator=(ObjRecord&&) noexcept = default;
    // Takes nested objects apart level by level: a deep tree must not recurse once per level.
    ~ObjRecord();
};
