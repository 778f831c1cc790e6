#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "tweaks/failure_report.h"
#include "tweaks/registry_locations.h"
#include "tweaks/tweak_context.h"

namespace torvane {

struct ValueChange {
    enum class Action { SetDword, SetString, Delete };
    Action action;
    std::wstring name;
    std::uint32_t number = 0;
    std::wstring text;

    static ValueChange Dword(std::wstring name, std::uint32_t number) {
        return {Action::SetDword, std::move(name), number, L""};
    }
    static ValueChange String(std::wstring name, std::wstring text) {
        return {Action::SetString, std::move(name), 0, std::move(text)};
    }
    // Deleting a value that is not there is not a failure.
    static ValueChange Delete(std::wstring name) {
        return {Action::Delete, std::move(name), 0, L""};
    }
};

// Opens the key (creating it and its parents), applies the changes in order and
// closes it. The first real failure stops the run and is shown to the user once,
// titled "错误". Returns whether every change was made.
bool ChangeRegistry(TweakContext& context, const RegistryLocation& location,
                    std::initializer_list<ValueChange> changes);

// "修改注册表失败：HKEY_…\path", then the system's text.
std::wstring RegistryFailureMessage(const RegistryLocation& location,
                                    const std::wstring& systemText);

// Which kind of key this is, for the advice on access denied.
RefusedTarget TargetOf(const RegistryLocation& location);

}  // namespace torvane
