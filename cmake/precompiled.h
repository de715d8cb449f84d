// The headers nearly every source of the project reads, compiled once per library
// (qrc_precompiled_headers in CMakeLists.txt): parsing them is most of a source's
// build time. Sources that define GUIDs (they include <initguid.h> first) go without.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <commctrl.h>
#include <msxml2.h>
#ifdef __cplusplus
#include <comdef.h>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#endif
