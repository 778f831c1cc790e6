#pragma once

#include <gtest/gtest.h>
#include <string>

#include "app/task_catalogue.h"
#include "tests/native/test_support.h"

// Tips over the fake registry, each held to the length Windows keeps.
namespace torvane::testing {

// The keys the tips read most.
inline const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";
inline const std::wstring kUserDesktop = L"Control Panel\\Desktop";

class TaskTipTest : public TaskTest {
  protected:
    std::wstring Tip(const std::wstring& text) {
        const std::wstring tip = TaskTip(text, context);
        EXPECT_LT(tip.size(), kTipSizeLimit);
        return tip;
    }
    void ExpectOnlyReads() {
        for (const RegistryRequest& request : registry.requests) {
            EXPECT_EQ(request.kind, L"ReadValue") << Utf8(request.what);
        }
    }
};

}  // namespace torvane::testing
