#pragma once

#define IDI_APPLICATION_ICON 1
#define IDC_HAND_POINTER 2
#define IDB_LIST_PICTURES 3
