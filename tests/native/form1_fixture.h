#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/form1_handlers.h"
#include "tests/native/test_support.h"

// Form1's handlers over a list and a menu in memory.
namespace torvane::testing {

struct ListItem {
    std::int16_t index;
    std::wstring text;
    std::int16_t picture;
    bool operator==(const ListItem&) const = default;
};

class FakeListView : public TaskListView {
  public:
    void RemoveAllItems() override {
        items.clear();
        selected.reset();
        ++rebuilds;
    }
    void AddItem(std::int16_t index, const std::wstring& text, std::int16_t picture) override {
        items.push_back({index, text, picture});
    }
    std::optional<std::wstring> SelectedItemText() override {
        if (!selected) return std::nullopt;
        return items.at(*selected).text;
    }
    std::vector<ListItem> items;
    std::optional<size_t> selected;
    int rebuilds = 0;
};

class Form1HandlersTest : public testing::TaskTest {
  protected:
    FakeListView list;
    Form1Handlers form{list, context, ui.exportDialog};
};

// The menu as a user answers it: what it offered, and the item chosen.
class FakeTaskMenu : public TaskMenu {
  public:
    explicit FakeTaskMenu(MenuCommand choice) : choice_(choice) {}
    MenuCommand Show(const TaskMenuItems& items) override {
        shown.push_back(items);
        return choice_;
    }
    std::vector<TaskMenuItems> shown;

  private:
    MenuCommand choice_;
};

}  // namespace torvane::testing
