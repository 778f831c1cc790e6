#include "tweaks/captured_changes.h"

namespace torvane {

class CapturingKey : public RegistryKey {
  public:
    CapturingKey(CapturingRegistry& registry, RegistryRoot root, std::wstring path)
        : registry_(registry), root_(root), path_(std::move(path)) {}

    ErrorCode SetDword(const std::wstring& name, std::uint32_t value) override {
        RegistryValue stored{kRegDword, {}};
        for (int shift = 0; shift < 32; shift += 8)
            stored.bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        return Record(name, stored);
    }
    ErrorCode SetString(const std::wstring& name, const std::wstring& text) override {
        RegistryValue stored{kRegSz, {}};
        for (wchar_t c : text) {
            stored.bytes.push_back(static_cast<std::uint8_t>(c));
            stored.bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        stored.bytes.insert(stored.bytes.end(),
                            {0, 0});  // the terminating NUL, as Windows keeps it
        return Record(name, stored);
    }
    ErrorCode SetValue(const std::wstring& name, const RegistryValue& value) override {
        return Record(name, value);
    }
    ErrorCode DeleteValue(const std::wstring& name) override { return Record(name, std::nullopt); }

  private:
    ErrorCode Record(const std::wstring& name, std::optional<RegistryValue> value) {
        registry_.Record(root_, path_, name, std::move(value));
        return kSuccess;
    }

    CapturingRegistry& registry_;
    RegistryRoot root_;
    std::wstring path_;
};

OpenedKey CapturingRegistry::CreateKey(RegistryRoot root, const std::wstring& path) {
    return {std::make_unique<CapturingKey>(*this, root, path), kSuccess};
}

OpenedKey CapturingRegistry::OpenKey(RegistryRoot root, const std::wstring& path) {
    return CreateKey(root, path);
}

ReadResult CapturingRegistry::ReadValue(RegistryRoot root, const std::wstring& path,
                                        const std::wstring& name) {
    return real_.ReadValue(root, path, name);
}

void CapturingRegistry::Record(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name, std::optional<RegistryValue> value) {
    for (RegFileEntry& change : changes_) {
        if (change.root == root && SameRegistryName(change.path, path) &&
            SameRegistryName(change.name, name)) {
            change.value = std::move(value);
            return;
        }
    }
    changes_.push_back({root, path, name, std::move(value)});
}

}  // namespace torvane
