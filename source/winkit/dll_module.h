#pragma once
// One DLL of the project as the entry points shared by every DLL (dll_exports.cpp) see
// it: its class table, its type library, and the fixed texts its registry scripts name
// beside MODULE, LIBID and the classes' identifiers. Each DLL defines kThisDll once,
// beside its class table, which is all it has of its own.
#include "com_module.h"

namespace winkit {

// A %NAME% of the registry scripts with a fixed text.
struct RegistryText {
    const wchar_t* name;
    const wchar_t* text;
};

struct DllDescription {
    const GUID* libid;
    const ClassEntry* classes;
    size_t classCount;
    const RegistryText* texts = nullptr;
    size_t textCount = 0;

    // Sets the module up with this class table and type library over `instance`.
    void Initialize(HINSTANCE instance) const noexcept {
        ComModule::Get().Init(instance, classes, classCount, *libid);
    }
    RegistryReplacements Texts() const {
        RegistryReplacements all;
        for (size_t i = 0; i < textCount; ++i) all.emplace_back(texts[i].name, texts[i].text);
        return all;
    }
};

// The DLL being built (programs that link a DLL's code for testing take its description too).
extern const DllDescription kThisDll;

} // namespace winkit
