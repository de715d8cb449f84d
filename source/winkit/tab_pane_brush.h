#pragma once
// The background of a tab control's pane as a brush, for the labels and radio buttons
// that stand on the pane as siblings of the tab control: with a visual theme the pane is
// not the dialog's colour, and their WM_CTLCOLORSTATIC answer must paint what the pane
// shows behind them.
#include <windows.h>
#include "unique_handle.h"

namespace winkit {

class TabPaneBrush {
public:
    // The brush for a control over the tab's pane, aligned with the pane for the
    // control's device context; null when the pane cannot be drawn.
    HBRUSH ForControl(HWND tab, HWND control, HDC dc);
    // Drops the brush (theme or colours changed); the next use draws the pane again.
    void Reset() noexcept { brush_.reset(); }

private:
    UniqueHBrush brush_;
};

} // namespace winkit
