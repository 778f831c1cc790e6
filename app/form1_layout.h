#pragma once

#include <windows.h>

#include <array>
#include <cmath>

#include "app/control_ids.h"

// Where Form1's parts stand, in twips of the client area (15 twips to a pixel at
// 96 dots per inch), listed in tab order.
namespace torvane {

// A fixed frame with a title bar and no maximise box: the user cannot resize it.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

constexpr int kClientWidthTwips = 7470;
constexpr int kClientHeightTwips = 5145;

struct ControlPlacement {
    int id;
    int left, top, width, height;  // twips
};

inline constexpr std::array<ControlPlacement, 7> kForm1Layout{{
    {IDC_LABEL1, 705, 1920, 1095, 255},
    {IDC_LABEL2, 705, 2565, 1335, 255},
    {IDC_LABEL3, 705, 3210, 855, 255},
    {IDC_LABEL4, 705, 3855, 855, 255},
    {IDC_LISTVIEW1, 2250, 1365, 5010, 3120},
    {IDC_COMMAND1, 4170, 4650, 945, 300},
    {IDC_COMMAND2, 5715, 4650, 945, 300},
}};

// Pixels at this DPI, grown by the layout's scale for the text size; halves
// round up, as MulDiv rounds them.
inline int TwipsToPixels(int twips, int dpi, double scale = 1) {
    return static_cast<int>(std::lround(twips * dpi * scale / 1440));
}

}  // namespace torvane
