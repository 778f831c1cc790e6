#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_access.h"

// An in-memory registry for tests. Key paths and value names compare without
// regard to letter case, as in Windows; each keeps the spelling it was created with.
namespace torvane {

// Kind and bytes exactly as RegQueryValueEx would return them.
using StoredValue = RegistryValue;

// For readable test failures: kind and bytes in hex.
void PrintTo(const StoredValue& value, std::ostream* out);


// One call on the fake registry, in the order the code under test made it.
struct RegistryRequest {
    std::wstring kind;  // "CreateKey", "OpenKey", "SetDword", "SetString", "SetValue",
                        // "DeleteValue", "CloseKey", "ReadValue"
    std::wstring what;  // the key path for CreateKey, the value name for a value, "" for
                        // CloseKey, and for ReadValue the key path, a backslash and the name
    bool operator==(const RegistryRequest&) const = default;
};
void PrintTo(const RegistryRequest& request, std::ostream* out);

class FakeRegistry : public RegistryAccess {
  public:
    OpenedKey CreateKey(RegistryRoot root, const std::wstring& path) override;
    OpenedKey OpenKey(RegistryRoot root, const std::wstring& path) override;
    ReadResult ReadValue(RegistryRoot root, const std::wstring& path,
                         const std::wstring& name) override;

    bool KeyExists(RegistryRoot root, const std::wstring& path) const;
    std::optional<StoredValue> Value(RegistryRoot root, const std::wstring& path,
                                     const std::wstring& name) const;
    size_t KeyCount() const { return keys_.size(); }
    // The names of a key's values, spelled as they were first written.
    std::vector<std::wstring> ValueNames(RegistryRoot root, const std::wstring& path) const;
    size_t ValueCount() const;
    void Put(RegistryRoot root, const std::wstring& path, const std::wstring& name,
             StoredValue value);

    // Makes every later open of this key, or of a key below it, fail with the error.
    void RefuseOpen(RegistryRoot root, const std::wstring& path, ErrorCode error);
    // Keys open, but writes and deletes under this key fail with the error.
    void RefuseWrites(RegistryRoot root, const std::wstring& path, ErrorCode error);
    // Keys open for writing, but reads of values under this key fail with the error.
    void RefuseReads(RegistryRoot root, const std::wstring& path, ErrorCode error);

    // How many keys are open now; every task must leave this at 0.
    int OpenKeyCount() const { return openKeys_; }

    // Every CreateKey call, root and path exactly as passed.
    std::vector<std::pair<RegistryRoot, std::wstring>> openLog;
    // Every call on the registry and its keys, in order.
    std::vector<RegistryRequest> requests;

  private:
    friend class FakeRegistryKey;
    using KeyId = std::pair<RegistryRoot, std::wstring>;  // path folded to lower case
    struct Key {
        std::map<std::wstring, std::pair<std::wstring, StoredValue>>
            values;  // folded → (name, value)
    };
    static std::wstring Fold(const std::wstring& text);
    std::optional<ErrorCode> RuleFor(const std::vector<std::pair<KeyId, ErrorCode>>& rules,
                                     const KeyId& key) const;

    std::map<KeyId, Key> keys_;
    std::vector<std::pair<KeyId, ErrorCode>> refuseOpen_;
    std::vector<std::pair<KeyId, ErrorCode>> refuseWrites_;
    std::vector<std::pair<KeyId, ErrorCode>> refuseReads_;
    int openKeys_ = 0;
};

}  // namespace torvane
