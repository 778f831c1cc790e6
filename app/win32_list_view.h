#pragma once

#include <windows.h>

#include "app/form1_handlers.h"

namespace torvane {

// The whole text of one item, however long.
std::wstring ListItemText(HWND listView, int index);

// ListView1 as the handlers see it.
class Win32ListView : public TaskListView {
  public:
    void Attach(HWND listView) { listView_ = listView; }
    void RemoveAllItems() override;
    void AddItem(std::int16_t index, const std::wstring& text, std::int16_t picture) override;
    std::optional<std::wstring> SelectedItemText() override;

  private:
    HWND listView_ = nullptr;
};

}  // namespace torvane
