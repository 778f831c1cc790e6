#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/setting_broadcast.h"

namespace torvane {

// Keeps every notice, in order, instead of telling anyone.
class FakeSettingBroadcast : public SettingBroadcast {
  public:
    void SettingChanged(const std::wstring& area) override {
        sent.push_back(area);
        if (whileSending) whileSending();
    }
    std::vector<std::wstring> sent;
    // Runs at each notice, so that a test can see what was done by then.
    std::function<void()> whileSending;
};

}  // namespace torvane
