// The same cases against the in-memory registry and the real one, so that the
// fake the unit tests rely on cannot drift from Windows.
#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "platform/fake/fake_registry.h"
#include "platform/win32/win32_registry.h"

namespace torvane {
namespace {

const std::wstring kBase = L"Software\\Torvane Contract";

class Backend {
  public:
    virtual ~Backend() = default;
    virtual RegistryAccess& registry() = 0;
    virtual bool KeyExists(const std::wstring& path) = 0;
    virtual std::optional<StoredValue> Read(const std::wstring& path, const std::wstring& name) = 0;
};

class FakeBackend : public Backend {
  public:
    RegistryAccess& registry() override { return fake_; }
    bool KeyExists(const std::wstring& path) override {
        return fake_.KeyExists(RegistryRoot::CurrentUser, path);
    }
    std::optional<StoredValue> Read(const std::wstring& path, const std::wstring& name) override {
        return fake_.Value(RegistryRoot::CurrentUser, path, name);
    }

  private:
    FakeRegistry fake_;
};

class RealBackend : public Backend {
  public:
    RealBackend() { RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str()); }
    ~RealBackend() override { RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str()); }
    RegistryAccess& registry() override { return real_; }
    bool KeyExists(const std::wstring& path) override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    std::optional<StoredValue> Read(const std::wstring& path, const std::wstring& name) override {
        // RegQueryValueExW, not RegGetValueW: the latter adds a NUL that a
        // string lacks, and the bytes must be seen as stored.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        std::optional<StoredValue> value;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            value = StoredValue{type, std::vector<std::uint8_t>(size)};
            RegQueryValueExW(key, name.c_str(), nullptr, &type, value->bytes.data(), &size);
            value->bytes.resize(size);
        }
        RegCloseKey(key);
        return value;
    }

  private:
    Win32Registry real_;
};

template <typename T>
class RegistryContractTest : public ::testing::Test {
  protected:
    T backend;
    std::unique_ptr<RegistryKey> Open(const std::wstring& path) {
        OpenedKey opened = backend.registry().CreateKey(RegistryRoot::CurrentUser, path);
        EXPECT_EQ(opened.error, kSuccess);
        return std::move(opened.key);
    }
};

using Backends = ::testing::Types<FakeBackend, RealBackend>;
TYPED_TEST_SUITE(RegistryContractTest, Backends);

TYPED_TEST(RegistryContractTest, CreatesTheKeyWithAllMissingParents) {
    const std::wstring path = kBase + L"\\a b\\中文\\c";
    EXPECT_FALSE(this->backend.KeyExists(kBase));
    ASSERT_TRUE(this->Open(path));
    EXPECT_TRUE(this->backend.KeyExists(kBase));
    EXPECT_TRUE(this->backend.KeyExists(kBase + L"\\a b"));
    EXPECT_TRUE(this->backend.KeyExists(kBase + L"\\A B\\中文"));
    EXPECT_TRUE(this->backend.KeyExists(path));
}

TYPED_TEST(RegistryContractTest, DwordIsFourBytesLittleEndian) {
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->SetDword(L"Number", 0x12345678), kSuccess);
    key.reset();
    EXPECT_EQ(this->backend.Read(kBase, L"Number"),
              (StoredValue{REG_DWORD, {0x78, 0x56, 0x34, 0x12}}));
}

TYPED_TEST(RegistryContractTest, StringsAreUtf16WithOneTerminatingNul) {
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    const std::wstring withNul(L"a\0b", 3);
    const std::wstring outside936 = L"\u0E01\u00C0\xD83D\xDE00";
    EXPECT_EQ(key->SetString(L"Empty", L""), kSuccess);
    EXPECT_EQ(key->SetString(L"WithNul", withNul), kSuccess);
    EXPECT_EQ(key->SetString(L"Outside", outside936), kSuccess);
    EXPECT_EQ(key->SetString(L"", L"default"), kSuccess);
    key.reset();
    EXPECT_EQ(this->backend.Read(kBase, L"Empty"), (StoredValue{REG_SZ, {0, 0}}));
    EXPECT_EQ(this->backend.Read(kBase, L"WithNul"),
              (StoredValue{REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}}));
    EXPECT_EQ(this->backend.Read(kBase, L"Outside"),
              (StoredValue{REG_SZ, {0x01, 0x0E, 0xC0, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}}));
    EXPECT_EQ(this->backend.Read(kBase, L""), StringValue(L"default"));
}

TYPED_TEST(RegistryContractTest, NamesAndPathsIgnoreLetterCase) {
    auto key = this->Open(kBase + L"\\Case");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->SetString(L"Value", L"first"), kSuccess);
    key.reset();
    auto again = this->Open(kBase + L"\\CASE");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->SetString(L"VALUE", L"second"), kSuccess);
    again.reset();
    EXPECT_EQ(this->backend.Read(kBase + L"\\case", L"value"), StringValue(L"second"));
}

TYPED_TEST(RegistryContractTest, DeletingAMissingValueSaysNotFound) {
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->DeleteValue(L"Absent"), kErrorFileNotFound);
    EXPECT_EQ(key->SetDword(L"Present", 1), kSuccess);
    EXPECT_EQ(key->DeleteValue(L"present"), kSuccess);
    key.reset();
    EXPECT_EQ(this->backend.Read(kBase, L"Present"), std::nullopt);
}

TYPED_TEST(RegistryContractTest, OverwritingChangesTheKind) {
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->SetDword(L"Kind", 7), kSuccess);
    EXPECT_EQ(key->SetString(L"Kind", L"7"), kSuccess);
    key.reset();
    EXPECT_EQ(this->backend.Read(kBase, L"Kind"), StringValue(L"7"));
}

TYPED_TEST(RegistryContractTest, OpeningAMissingKeyCreatesNothing) {
    RegistryAccess& registry = this->backend.registry();
    const OpenedKey missing = registry.OpenKey(RegistryRoot::CurrentUser, kBase + L"\\Deeper");
    EXPECT_EQ(missing.error, kErrorFileNotFound);
    EXPECT_FALSE(missing.key);
    EXPECT_FALSE(this->backend.KeyExists(kBase));
    this->Open(kBase).reset();
    OpenedKey existing = registry.OpenKey(RegistryRoot::CurrentUser, kBase);
    ASSERT_TRUE(existing.key);
    EXPECT_EQ(existing.key->SetValue(L"Opened", StringValue(L"x")), kSuccess);
    existing.key.reset();
    EXPECT_EQ(this->backend.Read(kBase, L"Opened"), StringValue(L"x"));
}

TYPED_TEST(RegistryContractTest, ReadingAMissingKeyCreatesNothing) {
    const ReadResult read = this->backend.registry().ReadValue(RegistryRoot::CurrentUser,
                                                               kBase + L"\\Deeper", L"Value");
    EXPECT_EQ(read.error, kErrorFileNotFound);
    EXPECT_TRUE(read.bytes.empty());
    EXPECT_FALSE(this->backend.KeyExists(kBase));
}

TYPED_TEST(RegistryContractTest, ReadsKindAndBytesOrSaysNotFound) {
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->SetDword(L"Number", 0x12345678), kSuccess);
    EXPECT_EQ(key->SetString(L"Text", L"中文 text"), kSuccess);
    EXPECT_EQ(key->SetString(L"", L""), kSuccess);
    key.reset();
    RegistryAccess& registry = this->backend.registry();
    const auto read = [&](const std::wstring& name) {
        const ReadResult result = registry.ReadValue(RegistryRoot::CurrentUser, kBase, name);
        return std::make_pair(result.error, StoredValue{result.kind, result.bytes});
    };
    EXPECT_EQ(read(L"NUMBER"),
              std::make_pair(kSuccess, StoredValue{REG_DWORD, {0x78, 0x56, 0x34, 0x12}}));
    EXPECT_EQ(read(L"Text"), std::make_pair(kSuccess, StringValue(L"中文 text")));
    EXPECT_EQ(read(L""), std::make_pair(kSuccess, StringValue(L"")));
    EXPECT_EQ(read(L"Absent"), std::make_pair(kErrorFileNotFound, StoredValue{}));
}

// Originals come back byte for byte, whatever their kind: no NUL added to a
// string that lacks one, none dropped, odd lengths and empty data kept.
TYPED_TEST(RegistryContractTest, SetValueStoresKindAndBytesExactly) {
    const std::vector<StoredValue> values{
        {REG_SZ, {'a', 0, 'b', 0}},                 // no terminating NUL
        {REG_SZ, {'a', 0, 0, 0, 0, 0}},             // two NULs
        {REG_SZ, {'a', 0, 'b'}},                    // odd length
        {REG_SZ, {'x'}},                            // one byte
        {REG_SZ, {}},                               // empty
        {REG_EXPAND_SZ, {'%', 0, 'a', 0, '%', 0}},  // no NUL either
        {REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {REG_DWORD, {1, 2, 3}},  // a DWORD that is not four bytes
        {REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {REG_BINARY, {}},
        {REG_BINARY, {0xFF}},
        {11, {1, 2, 3, 4, 5, 6, 7, 8}},  // REG_QWORD
        {0x4000, {9, 8, 7}},             // a kind Windows does not name
    };
    auto key = this->Open(kBase);
    ASSERT_TRUE(key);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(key->SetValue(L"v" + std::to_wstring(i), values[i]), kSuccess) << i;
    EXPECT_EQ(key->SetValue(L"", values[0]), kSuccess);
    key.reset();
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(this->backend.Read(kBase, L"v" + std::to_wstring(i)), values[i]);
        const ReadResult read = this->backend.registry().ReadValue(RegistryRoot::CurrentUser, kBase,
                                                                   L"v" + std::to_wstring(i));
        EXPECT_EQ((StoredValue{read.kind, read.bytes}), values[i]);
    }
    EXPECT_EQ(this->backend.Read(kBase, L""), values[0]);
}

}  // namespace
}  // namespace torvane
