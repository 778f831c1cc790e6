#pragma once

// Ids of Form1's controls. The end-to-end tests find the controls by them. None
// is IDOK or IDCANCEL, so Enter and Escape press no button.
#define IDC_LABEL1 101
#define IDC_LABEL2 102
#define IDC_LABEL3 103
#define IDC_LABEL4 104
#define IDC_LISTVIEW1 110
#define IDC_COMMAND1 121
#define IDC_COMMAND2 122

#define TORVANE_WINDOW_CLASS L"TorvaneForm1"
#define TORVANE_WINDOW_TITLE L"Torvane注册表修改工具1.0 www.torvane.example"
