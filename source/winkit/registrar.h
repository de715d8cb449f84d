#pragma once
// Runs registry scripts: nested keys under a root, default and named values,
// NoRemove / ForceRemove / Delete flags, and %NAME% replacements matched without
// regard to case.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove %CLSID% = s 'My Class'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
#include <windows.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace winkit {

using RegistryReplacements = std::vector<std::pair<std::wstring, std::wstring>>;

class Registrar {
public:
    explicit Registrar(RegistryReplacements replacements) : replacements_(std::move(replacements)) {}

    HRESULT Register(std::wstring_view script) const;
    HRESULT Unregister(std::wstring_view script) const;
    // Runs the script held in a resource of type "REGISTRY" (ANSI or UTF-16 text).
    HRESULT RegisterResource(HINSTANCE module, UINT id, bool doRegister) const;

private:
    HRESULT Run(std::wstring_view script, bool doRegister) const;
    struct Parser;
    RegistryReplacements replacements_;
};

} // namespace winkit
