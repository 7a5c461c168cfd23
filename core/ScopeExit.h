// Runs a function when the scope it guards is left, however it is left.
#pragma once

#include <functional>
#include <utility>

namespace fotoloom {

class ScopeExit {
 public:
  explicit ScopeExit(std::function<void()> onExit) : onExit_(std::move(onExit)) {}
  ~ScopeExit() { onExit_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  std::function<void()> onExit_;
};

}  // namespace fotoloom
