#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

namespace torvane {

// Runs the action on another thread once it is started, and joins it at the end.
class Background {
  public:
    explicit Background(std::function<void(std::atomic<bool>&)> action)
        : thread_([this, action] { action(ready_); }) {
        while (!ready_) Sleep(1);
    }
    ~Background() { thread_.join(); }

  private:
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

}  // namespace torvane
