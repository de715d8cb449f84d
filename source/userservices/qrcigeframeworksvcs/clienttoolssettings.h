#pragma once
// A node of the client tools' settings store (QRClientTools), reached through its
// Globals object. Every call's HRESULT is tested: a failure is raised as a _com_error
// carrying the failing interface's error information.
#include <string>
#include "comidentifiers.h"
#include "winkit/com_ptr.h"

class ClientToolsSettingsNode {
public:
    // Creates the Globals object, reads the settings root's name, creates a settings
    // node and opens the root through it. The objects are made with every server kind.
    static ClientToolsSettingsNode OpenRoot();

    // The child of that name; the store makes it when it does not exist yet.
    ClientToolsSettingsNode OpenChild(const std::wstring& name) const;
    // False when the value does not exist; the text is then left empty.
    bool GetValue(const wchar_t* name, std::wstring& text) const;
    // Whether the store wrote the value.
    bool SetValue(const wchar_t* name, const std::wstring& text) const;
    void BeginEntries() const;
    void EndEntries() const;

    ISettingsNode* get() const noexcept { return node_.get(); }

private:
    explicit ClientToolsSettingsNode(winkit::ComPtr<ISettingsNode> node) : node_(std::move(node)) {}
    // Raises a failure of the object's interface as a _com_error.
    static void Check(HRESULT hr, IUnknown* object, REFIID iid);
    void CheckNode(HRESULT hr) const { Check(hr, node_.get(), IID_ISettingsNode); }

    winkit::ComPtr<ISettingsNode> node_;
};

// The found/written results of the store: VT_BOOL as it is, other types converted.
bool VariantAsBool(const VARIANT& value);
