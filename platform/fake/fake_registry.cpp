#include "platform/fake/fake_registry.h"

#include <cwctype>

namespace torvane {

void PrintTo(const StoredValue& value, std::ostream* out) {
    static const char kHex[] = "0123456789ABCDEF";
    if (value.kind == kRegDword) {
        *out << "REG_DWORD";
    } else if (value.kind == kRegSz) {
        *out << "REG_SZ";
    } else {
        *out << "kind " << value.kind;
    }
    *out << " [";
    for (auto byte : value.bytes) *out << kHex[byte >> 4] << kHex[byte & 15] << ' ';
    *out << "]";
}

void PrintTo(const RegistryRequest& request, std::ostream* out) {
    std::string text;
    for (wchar_t c : request.kind + L" " + request.what)
        text += c < 0x80 ? static_cast<char>(c) : '?';
    *out << text;
}

class FakeRegistryKey : public RegistryKey {
  public:
    FakeRegistryKey(FakeRegistry& registry, FakeRegistry::KeyId id)
        : registry_(registry), id_(std::move(id)) {
        ++registry_.openKeys_;
    }
    ~FakeRegistryKey() override {
        --registry_.openKeys_;
        registry_.requests.push_back({L"CloseKey", L""});
    }

    ErrorCode SetDword(const std::wstring& name, std::uint32_t value) override {
        registry_.requests.push_back({L"SetDword", name});
        return Store(name, DwordValue(value));
    }
    ErrorCode SetString(const std::wstring& name, const std::wstring& text) override {
        registry_.requests.push_back({L"SetString", name});
        return Store(name, StringValue(text));
    }
    ErrorCode SetValue(const std::wstring& name, const RegistryValue& value) override {
        registry_.requests.push_back({L"SetValue", name});
        return Store(name, value);
    }
    ErrorCode DeleteValue(const std::wstring& name) override {
        registry_.requests.push_back({L"DeleteValue", name});
        if (auto refused = registry_.RuleFor(registry_.refuseWrites_, id_)) return *refused;
        auto& values = registry_.keys_[id_].values;
        return values.erase(FakeRegistry::Fold(name)) ? kSuccess : kErrorFileNotFound;
    }

  private:
    ErrorCode Store(const std::wstring& name, StoredValue value) {
        if (auto refused = registry_.RuleFor(registry_.refuseWrites_, id_)) return *refused;
        auto& slot = registry_.keys_[id_].values[FakeRegistry::Fold(name)];
        if (slot.first.empty()) slot.first = name;  // the first spelling stays, as in Windows
        slot.second = std::move(value);
        return kSuccess;
    }

    FakeRegistry& registry_;
    FakeRegistry::KeyId id_;
};

std::wstring FakeRegistry::Fold(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towlower(c));
    return folded;
}

std::optional<ErrorCode> FakeRegistry::RuleFor(
    const std::vector<std::pair<KeyId, ErrorCode>>& rules, const KeyId& key) const {
    for (const auto& [ruleKey, error] : rules) {
        if (ruleKey.first != key.first) continue;
        const std::wstring& prefix = ruleKey.second;
        if (key.second == prefix || (key.second.size() > prefix.size() &&
                                     key.second.compare(0, prefix.size(), prefix) == 0 &&
                                     key.second[prefix.size()] == L'\\')) {
            return error;
        }
    }
    return std::nullopt;
}

OpenedKey FakeRegistry::CreateKey(RegistryRoot root, const std::wstring& path) {
    openLog.push_back({root, path});
    requests.push_back({L"CreateKey", path});
    KeyId id{root, Fold(path)};
    if (auto refused = RuleFor(refuseOpen_, id)) return {nullptr, *refused};
    // Every missing parent comes into being with the key.
    for (size_t slash = id.second.find(L'\\'); slash != std::wstring::npos;
         slash = id.second.find(L'\\', slash + 1)) {
        keys_[{root, id.second.substr(0, slash)}];
    }
    keys_[id];
    return {std::make_unique<FakeRegistryKey>(*this, id), kSuccess};
}

OpenedKey FakeRegistry::OpenKey(RegistryRoot root, const std::wstring& path) {
    requests.push_back({L"OpenKey", path});
    KeyId id{root, Fold(path)};
    if (auto refused = RuleFor(refuseOpen_, id)) return {nullptr, *refused};
    if (!keys_.count(id)) return {nullptr, kErrorFileNotFound};
    return {std::make_unique<FakeRegistryKey>(*this, id), kSuccess};
}

ReadResult FakeRegistry::ReadValue(RegistryRoot root, const std::wstring& path,
                                   const std::wstring& name) {
    requests.push_back({L"ReadValue", path + L"\\" + name});
    const KeyId id{root, Fold(path)};
    if (auto refused = RuleFor(refuseOpen_, id)) return {*refused, 0, {}};
    if (auto refused = RuleFor(refuseReads_, id)) return {*refused, 0, {}};
    const std::optional<StoredValue> value = Value(root, path, name);
    if (!value) return {kErrorFileNotFound, 0, {}};
    return {kSuccess, value->kind, value->bytes};
}

bool FakeRegistry::KeyExists(RegistryRoot root, const std::wstring& path) const {
    return keys_.count({root, Fold(path)}) != 0;
}

std::optional<StoredValue> FakeRegistry::Value(RegistryRoot root, const std::wstring& path,
                                               const std::wstring& name) const {
    const auto key = keys_.find({root, Fold(path)});
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.values.find(Fold(name));
    if (value == key->second.values.end()) return std::nullopt;
    return value->second.second;
}

std::vector<std::wstring> FakeRegistry::ValueNames(RegistryRoot root,
                                                   const std::wstring& path) const {
    std::vector<std::wstring> names;
    const auto key = keys_.find({root, Fold(path)});
    if (key == keys_.end()) return names;
    for (const auto& [folded, entry] : key->second.values) names.push_back(entry.first);
    return names;
}

size_t FakeRegistry::ValueCount() const {
    size_t count = 0;
    for (const auto& [id, key] : keys_) count += key.values.size();
    return count;
}

void FakeRegistry::Put(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                       StoredValue value) {
    CreateKey(root, path);
    // Set-up, not calls under test: forget the open and the close.
    openLog.pop_back();
    requests.resize(requests.size() - 2);
    keys_[{root, Fold(path)}].values[Fold(name)] = {name, std::move(value)};
}

void FakeRegistry::RefuseOpen(RegistryRoot root, const std::wstring& path, ErrorCode error) {
    refuseOpen_.push_back({{root, Fold(path)}, error});
}

void FakeRegistry::RefuseWrites(RegistryRoot root, const std::wstring& path, ErrorCode error) {
    refuseWrites_.push_back({{root, Fold(path)}, error});
}

void FakeRegistry::RefuseReads(RegistryRoot root, const std::wstring& path, ErrorCode error) {
    refuseReads_.push_back({{root, Fold(path)}, error});
}

}  // namespace torvane
