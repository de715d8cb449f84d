#pragma once
#define IDR_SIMWORKSPACE 101
