#pragma once
#define IDR_SIMSELECTKBDLG 101
