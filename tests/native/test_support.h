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

}  // namespace torvane::testing
