#include "tweaks/captured_changes.h"

namespace torvane {

class CapturingKey : public RegistryKey {
  public:
    CapturingKey(CapturingRegistry& registry, RegistryRoot root, std::wstring path)
        : registry_(registry), root_(root), path_(std::move(path)) {}

    ErrorCode SetDword(const std::wstring& name, std::uint32_t value) override {
        return Record(name, DwordValue(value));
    }
    ErrorCode SetString(const std::wstring& name, const std::wstring& text) override {
        return Record(name, StringValue(text));
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
    RegFileEntry entry{root, path, name, std::move(value)};
    for (RegFileEntry& change : changes_) {
        if (SameValue(change, entry)) {
            change.value = std::move(entry.value);
            return;
        }
    }
    changes_.push_back(std::move(entry));
}

}  // namespace torvane
