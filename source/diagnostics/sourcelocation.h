#pragma once
// Where a throw or a handler stands in the source; labels trace lines only.

struct SourceLocation {
    const wchar_t* file;
    int line;
};

#define QR_WIDEN_IMPL(x) L##x
#define QR_WIDEN(x) QR_WIDEN_IMPL(x)
#define QR_HERE (SourceLocation{QR_WIDEN(__FILE__), __LINE__})
