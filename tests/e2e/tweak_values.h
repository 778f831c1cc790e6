#pragma once

#include <optional>
#include <string>
#include <utility>

#include "tests/e2e/app_driver.h"

// Where the tasks write, and a guard that keeps each value as the prefix had it.
namespace torvane::e2e {

inline const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";

struct Where {
    HKEY root;
    std::wstring key;
    std::wstring name;
};

// Keeps a value as it was before the test and puts it back afterwards, so the
// prefix's own settings survive the run.
class ValueGuard {
  public:
    explicit ValueGuard(Where where)
        : where_(std::move(where)), saved_(ReadValue(where_.root, where_.key, where_.name)) {
        DeleteValue(where_.root, where_.key, where_.name);
    }
    ~ValueGuard() {
        DeleteValue(where_.root, where_.key, where_.name);
        if (saved_) {
            PutValue(where_.root, where_.key, where_.name, *saved_);
        }
    }

  private:
    Where where_;
    std::optional<RawValue> saved_;
};

}  // namespace torvane::e2e
