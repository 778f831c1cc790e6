#include "platform/fake/fake_registry.h"

#include <gtest/gtest.h>

#include "tests/native/test_support.h"

namespace torvane {
namespace {

TEST(FakeRegistry, CreatesMissingParentsAndFoldsCase) {
    FakeRegistry registry;
    {
        OpenedKey opened = registry.CreateKey(RegistryRoot::CurrentUser, L"A\\Bb\\Ccc");
        ASSERT_TRUE(opened.key);
        EXPECT_EQ(opened.error, kSuccess);
        EXPECT_EQ(opened.key->SetDword(L"Value", 1), kSuccess);
        EXPECT_EQ(registry.OpenKeyCount(), 1);
    }
    EXPECT_EQ(registry.OpenKeyCount(), 0);
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, L"a"));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, L"A\\BB"));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, L"a\\bb\\CCC"));
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, L"A"));
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, L"a\\bb\\ccc", L"VALUE"), DwordValue(1));
}

TEST(FakeRegistry, StoresTheBytesWindowsStores) {
    EXPECT_EQ(DwordValue(500).bytes, (std::vector<std::uint8_t>{0xF4, 0x01, 0x00, 0x00}));
    EXPECT_EQ(DwordValue(500).kind, 4u);
    EXPECT_EQ(StringValue(L"").bytes, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(StringValue(L"A中").bytes, (std::vector<std::uint8_t>{0x41, 0, 0x2D, 0x4E, 0, 0}));
    // Beyond the first plane: a surrogate pair, whatever the width of wchar_t.
    EXPECT_EQ(StringValue(L"\U0001F600").bytes,
              (std::vector<std::uint8_t>{0x3D, 0xD8, 0, 0xDE, 0, 0}));
    EXPECT_EQ(StringValue(L"").kind, 1u);
}

// The ASCII letters match in either case, and their neighbours, which lie
// 0x20 apart as the letters do, stay apart.
TEST(RegistryNames, MatchWithoutLetterCase) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } cases[] = {{L"Policies\\System", L"POLICIES\\system", true},
                 {L"az", L"AZ", true},
                 {L"Za", L"zA", true},
                 {L"@[", L"`{", false},
                 {L"a", L"ab", false},
                 {L"", L"", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(SameRegistryName(c.a, c.b), c.same)
            << testing::Utf8(c.a) << " " << testing::Utf8(c.b);
    }
}

TEST(FakeRegistry, DeleteReportsMissingValue) {
    FakeRegistry registry;
    auto opened = registry.CreateKey(RegistryRoot::Users, L"K");
    EXPECT_EQ(opened.key->DeleteValue(L"absent"), kErrorFileNotFound);
    opened.key->SetString(L"Present", L"x");
    EXPECT_EQ(opened.key->DeleteValue(L"PRESENT"), kSuccess);
    EXPECT_EQ(registry.Value(RegistryRoot::Users, L"K", L"Present"), std::nullopt);
}

TEST(FakeRegistry, RefusalsApplyToTheKeyAndBelowOnly) {
    FakeRegistry registry;
    registry.RefuseOpen(RegistryRoot::LocalMachine, L"SYSTEM\\Locked", kErrorAccessDenied);
    EXPECT_EQ(registry.CreateKey(RegistryRoot::LocalMachine, L"system\\locked\\deeper").error,
              kErrorAccessDenied);
    EXPECT_FALSE(registry.CreateKey(RegistryRoot::LocalMachine, L"SYSTEM\\Locked").key);
    EXPECT_TRUE(registry.CreateKey(RegistryRoot::LocalMachine, L"SYSTEM\\LockedNot").key);
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, L"SYSTEM\\Locked"));

    registry.RefuseWrites(RegistryRoot::CurrentUser, L"RO", kErrorAccessDenied);
    auto opened = registry.CreateKey(RegistryRoot::CurrentUser, L"RO");
    ASSERT_TRUE(opened.key);
    EXPECT_EQ(opened.key->SetString(L"v", L"x"), kErrorAccessDenied);
    EXPECT_EQ(opened.key->DeleteValue(L"v"), kErrorAccessDenied);
    EXPECT_EQ(registry.ValueCount(), 0u);
}

TEST(FakeRegistry, ReadsAreLoggedCreateNothingAndCanBeRefused) {
    FakeRegistry registry;
    registry.Put(RegistryRoot::CurrentUser, L"K\\Sub", L"Name", DwordValue(7));
    const ReadResult present = registry.ReadValue(RegistryRoot::CurrentUser, L"k\\sub", L"NAME");
    EXPECT_EQ(present.error, kSuccess);
    EXPECT_EQ((StoredValue{present.kind, present.bytes}), DwordValue(7));
    EXPECT_EQ(registry.ReadValue(RegistryRoot::CurrentUser, L"K\\Sub", L"Other").error,
              kErrorFileNotFound);
    EXPECT_EQ(registry.ReadValue(RegistryRoot::Users, L"Missing\\Key", L"v").error,
              kErrorFileNotFound);
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::Users, L"Missing"));

    registry.RefuseReads(RegistryRoot::CurrentUser, L"K", kErrorAccessDenied);
    EXPECT_EQ(registry.ReadValue(RegistryRoot::CurrentUser, L"K\\Sub", L"Name").error,
              kErrorAccessDenied);
    registry.RefuseOpen(RegistryRoot::LocalMachine, L"Locked", kErrorAccessDenied);
    EXPECT_EQ(registry.ReadValue(RegistryRoot::LocalMachine, L"Locked", L"v").error,
              kErrorAccessDenied);
    EXPECT_EQ(registry.requests, (std::vector<RegistryRequest>{{L"ReadValue", L"k\\sub\\NAME"},
                                                               {L"ReadValue", L"K\\Sub\\Other"},
                                                               {L"ReadValue", L"Missing\\Key\\v"},
                                                               {L"ReadValue", L"K\\Sub\\Name"},
                                                               {L"ReadValue", L"Locked\\v"}}));
    EXPECT_EQ(registry.KeyCount(), 2u);
}

}  // namespace
}  // namespace torvane
