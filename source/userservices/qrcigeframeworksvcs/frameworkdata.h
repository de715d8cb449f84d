#pragma once
// The framework data of a workspace: one element (of any name) whose attributes carry
// the framework URL, plant, signature, version, user, the restore value and the
// plant/area/unit, as the framework component's "GetEFData" returns it.
#include <windows.h>
#include <msxml2.h>
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

struct FrameworkData {
    winkit::UniqueBstr url;             // EFURL
    winkit::UniqueBstr frameworkPlant;  // EFPLANT
    winkit::UniqueBstr signature;       // EFSIGNATURE
    winkit::UniqueBstr version;         // TEFVERSION
    winkit::UniqueBstr userId;          // EFUID
    winkit::UniqueBstr name;            // EFNAME
    winkit::UniqueBstr restore;         // RESTORE; null when none was read
    winkit::UniqueBstr plant;           // PLANTNAME
    winkit::UniqueBstr area;            // AREANAME
    winkit::UniqueBstr unit;            // UNITNAME
};

// An MSXML 6 DOM document (in process) that prohibits DTDs, resolves no external
// resources and does not validate. Returns the creation's failure.
HRESULT CreateFrameworkDataDocument(winkit::ComPtr<IXMLDOMDocument2>& document);

// Loads the text and copies each attribute of the document element that is present
// as a string into its field; absent attributes leave their fields as they were.
// Returns loadXML's result: S_OK when read, S_FALSE when the text does not parse or
// carries a document type declaration (nothing is changed then), or its failure.
HRESULT ReadFrameworkData(IXMLDOMDocument2* document, BSTR text, FrameworkData& data);
