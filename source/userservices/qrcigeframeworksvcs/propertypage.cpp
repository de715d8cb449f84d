#include "propertypage.h"

void CPropertyPage::OnCommit() {
    // No owner window: the message must show even when the host is already closing.
    ::MessageBoxW(nullptr, L"Coding Error. Page 0 should override OnCommit", L"Property Page", MB_OK);
}
