#pragma once

#include <windows.h>

#include <array>

#include "app/control_ids.h"

// Where Form1's parts stand, in twips of the client area (15 twips to a pixel at
// 96 dots per inch), listed in tab order.
namespace torvane {

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

inline int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

}  // namespace torvane
