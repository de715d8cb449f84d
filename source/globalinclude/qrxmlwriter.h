#pragma once
// The XML writer interfaces: a writer formats as it goes (a new line and two blanks
// per level before each element), escapes text and attribute values, and writes numbers
// independently of the process locale. A string writer keeps what was written and
// hands it out as one string.
#include <windows.h>
#include <oleauto.h>

// {8B027601-2428-11D5-A6BE-00A0244BC6AA}
struct iqrXMLWriter : public IUnknown {
    virtual bool STDMETHODCALLTYPE GetFormatted() = 0;
    virtual void STDMETHODCALLTYPE SetFormatted(bool formatted) = 0;
    // `<?xml version="1.0"?>`, without encoding and without a line feed.
    virtual HRESULT STDMETHODCALLTYPE WriteDeclaration() = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteAttribute(const wchar_t* name, const VARIANT& value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteAttributeDouble(const wchar_t* name, double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteAttributeLong(const wchar_t* name, long value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteAttributeBool(const wchar_t* name, bool value) = 0;
    // A null value is the empty text.
    virtual HRESULT STDMETHODCALLTYPE WriteAttributeString(const wchar_t* name, const wchar_t* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE StartElement(const wchar_t* name) = 0;
    // The name is not compared with the start: the writer keeps no stack of names.
    virtual HRESULT STDMETHODCALLTYPE EndElement(const wchar_t* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseStartTag() = 0;
    // Each "]]>" inside the text ends the section and starts a new one around it.
    virtual HRESULT STDMETHODCALLTYPE WriteCData(const wchar_t* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteText(const wchar_t* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteElement(const wchar_t* name, const VARIANT& value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteElementDouble(const wchar_t* name, double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteElementLong(const wchar_t* name, long value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteElementBool(const wchar_t* name, bool value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteElementString(const wchar_t* name, const wchar_t* text) = 0;
    // Appends text as it is; length in characters.
    virtual HRESULT STDMETHODCALLTYPE WriteRaw(const wchar_t* text, ULONG length) = 0;
};

// {8B037604-2428-11D5-A6BE-00A0244BC6AA}
struct iqrXMLStringWriter : public iqrXMLWriter {
    // Starts the text again from nothing; the formatting state is kept.
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetString(BSTR* text) = 0;
    virtual ULONG STDMETHODCALLTYPE GetLength() = 0;
    // buffer has room for GetLength() + 1 characters; the copy ends with a NUL.
    virtual HRESULT STDMETHODCALLTYPE CopyTo(wchar_t* buffer) = 0;
};

__CRT_UUID_DECL(iqrXMLWriter, 0x8b027601, 0x2428, 0x11d5, 0xa6, 0xbe, 0x00, 0xa0, 0x24, 0x4b, 0xc6, 0xaa)
__CRT_UUID_DECL(iqrXMLStringWriter, 0x8b037604, 0x2428, 0x11d5, 0xa6, 0xbe, 0x00, 0xa0, 0x24, 0x4b, 0xc6, 0xaa)

extern "C" const IID IID_iqrXMLWriter;
extern "C" const IID IID_iqrXMLStringWriter;

// A new string writer with one reference; E_OUTOFMEMORY (and null) when it cannot be made.
HRESULT CreateXMLStringWriter(iqrXMLStringWriter** writer);
