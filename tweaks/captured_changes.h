#pragma once

#include <vector>

#include "platform/registry_access.h"
#include "tweaks/reg_file.h"

namespace torvane {

// The registry as a task sees it when its changes are to be exported rather
// than made: every value set or deleted is written down, and nothing reaches
// the real registry. Reads go to the real one, as a run would see it. Since
// the task runs unchanged, the export cannot drift from what it does.
class CapturingRegistry : public RegistryAccess {
  public:
    explicit CapturingRegistry(RegistryAccess& real) : real_(real) {}

    OpenedKey CreateKey(RegistryRoot root, const std::wstring& path) override;
    OpenedKey OpenKey(RegistryRoot root, const std::wstring& path) override;
    ReadResult ReadValue(RegistryRoot root, const std::wstring& path,
                         const std::wstring& name) override;

    // Every value the task set or deleted, in the order it first touched
    // each, with the last data it gave it ("name"=- for a delete).
    const std::vector<RegFileEntry>& Changes() const { return changes_; }

  private:
    friend class CapturingKey;
    void Record(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                std::optional<RegistryValue> value);

    RegistryAccess& real_;
    std::vector<RegFileEntry> changes_;
};

}  // namespace torvane
