#pragma once
// Reading XML against a declared schema, over the MSXML 6 SAX reader.
//
// A document kind is declared as a static table of SchemaEntry rows. A tree of element
// handlers receives typed callbacks: element start and end, each declared attribute
// converted to its declared type, each simple element's value and the end of each
// complex child. Undeclared elements (with everything inside them) and undeclared
// attributes are skipped. A handler stops the parse early, without failing it, by
// returning QRSAX_E_ABORT.
#include <windows.h>
#include <oleauto.h>
#include "winkit/com_ptr.h"

enum SchemaKind : int {
    kSchemaStart = 0,       // first entry
    kSchemaEnd = 1,         // last entry
    kComplexElement = 2,    // starts its member list
    kEndMembers = 3,        // ends the current member list
    kStringElement = 4,     // simple elements: one entry at the top level
    kDoubleElement = 5,
    kLongElement = 6,
    kBoolElement = 7,
    kStringAttribute = 8,   // attributes: members of a complex element
    kDoubleAttribute = 9,
    kLongAttribute = 10,
    kBoolAttribute = 11,
    kExpectedChild = 12,    // member naming a child's element id; parsing does not depend on it
};

struct SchemaEntry {
    int kind;
    const wchar_t* name;  // null where the kind has none
    int id;               // what handlers receive
};

enum SchemaValueType : int { kValueString = 0, kValueDouble = 1, kValueLong = 2, kValueBool = 3 };

struct SchemaValue {
    int type;  // SchemaValueType
    union {
        const wchar_t* text;  // valid only during the call; never null
        double number;
        long integer;
        bool boolean;
    } value;
    bool invalid;  // the text was empty or did not convert
};

// The text of an attribute or simple element converted to a value type:
// string: the text itself; double: as "%lf" reads it in the C locale (NaN and invalid
// when empty or unreadable); integer: the leading decimal integer (0 and invalid when
// empty); boolean: "1", "true", "on", "yes", "t" / "0", "false", "off", "no", "f"
// without regard to case (false and invalid otherwise).
SchemaValue ConvertSchemaValue(int type, const wchar_t* text) noexcept;

// A handler returns this to stop the parse; ParseString then succeeds.
inline constexpr HRESULT QRSAX_E_ABORT = static_cast<HRESULT>(0x8004C001);
// ParseString refuses documents that carry a document type declaration.
inline constexpr HRESULT QRSAX_E_DTD_PROHIBITED = static_cast<HRESULT>(0x8004C002);

class SAXSchemaElementHandler {
public:
    virtual ~SAXSchemaElementHandler() = default;
    // The start tag was read; the attributes follow.
    virtual HRESULT OnStart(int id) = 0;
    virtual HRESULT OnEnd(int id) = 0;
    // For each declared complex child, before its OnStart. A null handler means the
    // child's subtree is not reported.
    virtual HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) = 0;
    // On the parent, after the complex child's OnEnd.
    virtual HRESULT OnChildEnd(int childId, SAXSchemaElementHandler* child) = 0;
    // Once per declared attribute present, in document order.
    virtual HRESULT OnAttribute(int id, SchemaValue value) = 0;
    // On the parent, when a declared simple child element ends.
    virtual HRESULT OnElementValue(int id, SchemaValue value) = 0;
    // Character data directly inside the element, possibly in several pieces.
    virtual HRESULT OnCharacters(const wchar_t* text, int length) = 0;
};

// Every operation succeeds and does nothing; no child handler is given.
class DefaultSAXSchemaElementHandler : public SAXSchemaElementHandler {
public:
    HRESULT OnStart(int) override { return S_OK; }
    HRESULT OnEnd(int) override { return S_OK; }
    HRESULT GetChildHandler(int, SAXSchemaElementHandler** handler) override {
        *handler = nullptr;
        return S_OK;
    }
    HRESULT OnChildEnd(int, SAXSchemaElementHandler*) override { return S_OK; }
    HRESULT OnAttribute(int, SchemaValue) override { return S_OK; }
    HRESULT OnElementValue(int, SchemaValue) override { return S_OK; }
    HRESULT OnCharacters(const wchar_t*, int) override { return S_OK; }
};

namespace SAXSchemaParserImpl {
class ContentHandler;
}

// The front class and the handler of the document level: its GetChildHandler gives
// the handler of the root element. A document kind derives a schema class that
// implements GetSchema, then a parser class that overrides GetChildHandler.
class SAXSchemaParser : public DefaultSAXSchemaElementHandler {
public:
    SAXSchemaParser();
    ~SAXSchemaParser() override;
    SAXSchemaParser(const SAXSchemaParser&) = delete;
    SAXSchemaParser& operator=(const SAXSchemaParser&) = delete;

    virtual const SchemaEntry* GetSchema() = 0;

    // S_OK when the document was read to the end or a handler aborted; otherwise the
    // failure with its QRError document as the thread's error information. Documents
    // with a document type declaration are refused (QRSAX_E_DTD_PROHIBITED) before the
    // reader sees them, and the reader never resolves external entities.
    HRESULT ParseString(BSTR document);
    // Whether a handler stopped the last parse.
    bool IsAborted() const { return aborted_; }

protected:
    bool ignoreCase_ = false;      // compare names without regard to case
    bool skipUndeclared_ = true;   // false: an undeclared element or attribute fails the parse

private:
    winkit::ComPtr<SAXSchemaParserImpl::ContentHandler> contentHandler_;  // made by the first parse
    bool aborted_ = false;
};
