#include "platform/fake/fake_record_store.h"

#include <memory>

namespace torvane {

class FakeRecordFile : public RecordFile {
  public:
    explicit FakeRecordFile(FakeRecordStore& store) : store_(store) { store_.held_ = true; }
    ~FakeRecordFile() override { store_.held_ = false; }

    ErrorCode Read(std::vector<std::uint8_t>& bytes) override {
        bytes.clear();
        if (store_.readError) return store_.readError;
        if (!store_.file) return kErrorFileNotFound;
        bytes = *store_.file;
        return kSuccess;
    }

    ErrorCode Replace(const std::vector<std::uint8_t>& bytes) override {
        ++store_.replaceCount;
        if (store_.replaceError) return store_.replaceError;
        store_.file = bytes;
        return kSuccess;
    }

  private:
    FakeRecordStore& store_;
};

LockedRecord FakeRecordStore::Lock() {
    constexpr ErrorCode kSharingViolation = 32;
    LockedRecord locked;
    if (lockError) {
        locked.error = lockError;
    } else if (held_) {
        locked.error = kSharingViolation;
    } else {
        locked.file = std::make_unique<FakeRecordFile>(*this);
    }
    return locked;
}

}  // namespace torvane
