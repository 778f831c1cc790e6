#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "tweaks/tweak_context.h"

namespace torvane::testing {

// A fresh fake world per test: registry, dialogs, shell and both file dialogs.
class TaskTest : public ::testing::Test {
  protected:
    FakeRegistry registry;
    FakeUi ui;
    TweakContext context{registry, ui, ui.commonDialog1, ui.commonDialog2, ui, ui};

    void SetUp() override {
        ui.openKeyCount = [this] { return registry.OpenKeyCount(); };
    }
    void TearDown() override { EXPECT_EQ(registry.OpenKeyCount(), 0) << "a key was left open"; }
};

// UTF-8 for readable failure messages.
std::string Utf8(const std::wstring& text);

// The advice after an access denied, each on a line of its own.
inline const wchar_t* const kRunAsAdministrator = L"\r\n请以管理员身份运行本程序后重试。";
inline const wchar_t* const kPolicyAdvice =
    L"\r\n这是只有管理员才能修改的策略项。若用其他账户\u201C以管理员身份运行\u201D，修改的将是那个"
    L"账户的设置，而不是你的。";

}  // namespace torvane::testing
