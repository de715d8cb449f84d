#pragma once
#define IDR_SPREADSHEET_REGISTRY 101
