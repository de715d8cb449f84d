#include "registrar.h"

#include <cwctype>
#include <memory>
#include "text_compare.h"
#include "unique_handle.h"

namespace winkit {
namespace {

struct Token {
    enum Kind { End, Word, Quoted, OpenBrace, CloseBrace, Equals } kind = End;
    std::wstring text;
};

HKEY RootKeyByName(std::wstring_view name) {
    static const struct { const wchar_t* name; HKEY key; } roots[] = {
        {L"HKCR", HKEY_CLASSES_ROOT}, {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCU", HKEY_CURRENT_USER}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKU", HKEY_USERS}, {L"HKEY_USERS", HKEY_USERS},
    };
    for (const auto& r : roots)
        if (EqualsNoCase(name, r.name)) return r.key;
    return nullptr;
}

// What removing a key or value came to: one that is not there counts as removed, so that
// unregistering twice succeeds; any other failure (access denied) is the caller's to hear.
HRESULT RemovalResult(LONG rc) {
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

bool HasSubkeys(HKEY key) {
    DWORD subkeys = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS && subkeys > 0;
}

} // namespace

struct Registrar::Parser {
    const Registrar& owner;
    std::wstring_view text;
    size_t pos = 0;
    Token current;
    bool doRegister;
    // Unregistering removes whatever it can and reports the first removal that failed.
    HRESULT removalFailure = S_OK;

    void NoteRemoval(LONG rc) {
        if (SUCCEEDED(removalFailure)) removalFailure = RemovalResult(rc);
    }

    Parser(const Registrar& o, std::wstring_view t, bool reg) : owner(o), text(t), doRegister(reg) { Next(); }

    static bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

    // Replaces every %NAME% by its value; "%%" stands for one percent sign.
    HRESULT Expand(std::wstring_view raw, std::wstring& out) const {
        out.clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'%') { out += raw[i]; continue; }
            size_t end = raw.find(L'%', i + 1);
            if (end == std::wstring_view::npos) return E_INVALIDARG;
            std::wstring_view name = raw.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out += L'%';
            } else {
                bool found = false;
                for (const auto& [key, value] : owner.replacements_) {
                    if (EqualsNoCase(key, name)) { out += value; found = true; break; }
                }
                if (!found) return DISP_E_UNKNOWNNAME;
            }
            i = end;
        }
        return S_OK;
    }

    void Next() {
        while (pos < text.size() && IsSpace(text[pos])) ++pos;
        current = Token{};
        if (pos >= text.size()) return;
        wchar_t c = text[pos];
        bool standsAlone = pos + 1 >= text.size() || IsSpace(text[pos + 1]);
        if (c == L'\'') {
            ++pos;
            current.kind = Token::Quoted;
            while (pos < text.size()) {
                if (text[pos] == L'\'') {
                    if (pos + 1 < text.size() && text[pos + 1] == L'\'') { current.text += L'\''; pos += 2; continue; }
                    ++pos;
                    break;
                }
                current.text += text[pos++];
            }
            return;
        }
        if (standsAlone && (c == L'{' || c == L'}' || c == L'=')) {
            current.kind = c == L'{' ? Token::OpenBrace : c == L'}' ? Token::CloseBrace : Token::Equals;
            ++pos;
            return;
        }
        current.kind = Token::Word;
        while (pos < text.size() && !IsSpace(text[pos])) current.text += text[pos++];
    }

    HRESULT ExpandedName(std::wstring& out) {
        if (current.kind != Token::Word && current.kind != Token::Quoted) return E_INVALIDARG;
        HRESULT hr = Expand(current.text, out);
        Next();
        return hr;
    }

    // "= s 'text'" or "= d 'number'"; returns the type letter and the expanded text.
    HRESULT ParseValue(wchar_t& type, std::wstring& value) {
        if (current.kind != Token::Equals) return E_INVALIDARG;
        Next();
        if (current.kind != Token::Word || current.text.size() != 1) return E_INVALIDARG;
        type = static_cast<wchar_t>(std::towlower(current.text[0]));
        if (type != L's' && type != L'd') return E_INVALIDARG;
        Next();
        if (current.kind != Token::Quoted && current.kind != Token::Word) return E_INVALIDARG;
        HRESULT hr = Expand(current.text, value);
        Next();
        return hr;
    }

    static HRESULT SetValue(HKEY key, const wchar_t* name, wchar_t type, const std::wstring& value) {
        LONG rc;
        if (type == L'd') {
            DWORD number = wcstoul(value.c_str(), nullptr, 0);
            rc = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else {
            rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
        return HRESULT_FROM_WIN32(rc);
    }

    // Members of a key's body up to the closing brace; parent is null when the
    // parent key could not be opened (unregistering keys that are gone).
    HRESULT ParseBody(HKEY parent) {
        if (current.kind != Token::OpenBrace) return E_INVALIDARG;
        Next();
        while (current.kind != Token::CloseBrace) {
            if (current.kind == Token::End) return E_INVALIDARG;
            HRESULT hr = (current.kind == Token::Word && EqualsNoCase(current.text, L"val")) ? ParseNamedValue(parent)
                                                                                           : ParseKey(parent);
            if (FAILED(hr)) return hr;
        }
        Next();
        return S_OK;
    }

    HRESULT ParseNamedValue(HKEY key) {
        Next();
        std::wstring name, value;
        wchar_t type = 0;
        HRESULT hr = ExpandedName(name);
        if (SUCCEEDED(hr)) hr = ParseValue(type, value);
        if (FAILED(hr)) return hr;
        if (!key) return S_OK;
        if (doRegister) return SetValue(key, name.c_str(), type, value);
        NoteRemoval(RegDeleteValueW(key, name.c_str()));
        return S_OK;
    }

    HRESULT ParseKey(HKEY parent) {
        enum { Plain, NoRemove, ForceRemove, Delete } flag = Plain;
        if (current.kind == Token::Word) {
            if (EqualsNoCase(current.text, L"NoRemove")) flag = NoRemove;
            else if (EqualsNoCase(current.text, L"ForceRemove")) flag = ForceRemove;
            else if (EqualsNoCase(current.text, L"Delete")) flag = Delete;
            if (flag != Plain) Next();
        }
        std::wstring name;
        HRESULT hr = ExpandedName(name);
        if (FAILED(hr)) return hr;
        wchar_t type = 0;
        std::wstring value;
        bool hasValue = current.kind == Token::Equals;
        if (hasValue && FAILED(hr = ParseValue(type, value))) return hr;

        UniqueHKey key;
        if (doRegister && parent) {
            if ((flag == ForceRemove || flag == Delete) && FAILED(hr = RemovalResult(RegDeleteTreeW(parent, name.c_str()))))
                return hr;
            if (flag != Delete) {
                LONG rc = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
                if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
                if (hasValue && FAILED(hr = SetValue(key.get(), nullptr, type, value))) return hr;
            }
        } else if (parent) {
            NoteRemoval(RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.put()));
        }
        if (current.kind == Token::OpenBrace && FAILED(hr = ParseBody(key.get()))) return hr;

        if (!doRegister && parent && key) {
            if (flag == ForceRemove || flag == Delete) {
                key.reset();
                NoteRemoval(RegDeleteTreeW(parent, name.c_str()));
            } else if (flag == Plain && !HasSubkeys(key.get())) {
                key.reset();
                NoteRemoval(RegDeleteKeyW(parent, name.c_str()));
            }
        }
        return S_OK;
    }

    HRESULT ParseScript() {
        while (current.kind != Token::End) {
            if (current.kind != Token::Word) return E_INVALIDARG;
            HKEY root = RootKeyByName(current.text);
            if (!root) return E_INVALIDARG;
            Next();
            HRESULT hr = ParseBody(root);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }
};

HRESULT Registrar::Run(std::wstring_view script, bool doRegister) const {
    Parser parser(*this, script, doRegister);
    HRESULT hr = parser.ParseScript();
    return FAILED(hr) ? hr : parser.removalFailure;
}

HRESULT Registrar::Register(std::wstring_view script) const { return Run(script, true); }
HRESULT Registrar::Unregister(std::wstring_view script) const { return Run(script, false); }

HRESULT Registrar::RegisterResource(HINSTANCE module, UINT id, bool doRegister) const {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!info) return HRESULT_FROM_WIN32(GetLastError());
    HGLOBAL data = LoadResource(module, info);
    DWORD size = SizeofResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return HRESULT_FROM_WIN32(GetLastError());
    std::wstring script;
    const auto* raw = static_cast<const unsigned char*>(bytes);
    if (size >= 2 && raw[0] == 0xFF && raw[1] == 0xFE) {
        script.assign(reinterpret_cast<const wchar_t*>(raw + 2), (size - 2) / sizeof(wchar_t));
    } else {
        int n = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(raw), static_cast<int>(size), nullptr, 0);
        script.resize(n);
        MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(raw), static_cast<int>(size), script.data(), n);
    }
    return Run(script, doRegister);
}

} // namespace winkit
