#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_record_store.h"
#include "tests/native/test_support.h"
#include "tweaks/original_values.h"

// The tasks over the fake registry with the record of originals in memory.
namespace torvane::testing {

class OriginalsTest : public TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        context.originals = &store;
        // Nobody holds the record's lock across a dialog.
        ui.whileDialogShows = [this] { locksAtDialogs.push_back(store.LockHeld()); };
    }
    void TearDown() override {
        for (bool held : locksAtDialogs) EXPECT_FALSE(held) << "the lock was held across a dialog";
        EXPECT_FALSE(store.LockHeld());
        TaskTest::TearDown();
    }
    std::vector<Original> Recorded() {
        if (!store.file) return {};
        const RegFileReading reading =
            ReadRegFile(*store.file, [](const RegFileEntry&) { return true; });
        EXPECT_TRUE(reading.ok()) << reading.refusedLine;
        return reading.entries;
    }
    std::optional<StoredValue> Now(RegistryRoot root, const std::wstring& path,
                                   const std::wstring& name) {
        return registry.Value(root, path, name);
    }
    FakeRecordStore store;
    std::vector<bool> locksAtDialogs;
};

}  // namespace torvane::testing
