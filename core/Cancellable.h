// The cancel flag every run component reads: its own, or the one flag all the components of a run share.
#pragma once

namespace fotoloom {

// A run component's stop request, Cancelled, which the component tests after
// each unit of work and hands to its event handlers. A component made alone
// owns its flag; one made with a run's flag reads and sets that one, so that
// one Cancel reaches every component of the run and a new run clears them
// all at once. A copy of a component owns a flag of its own, set as the
// original's was.
class Cancellable {
 public:
  bool& Cancelled;

 protected:
  Cancellable() : Cancelled(own_) {}
  explicit Cancellable(bool& shared) : Cancelled(shared) {}
  Cancellable(const Cancellable& other) : Cancelled(own_), own_(other.Cancelled) {}
  Cancellable& operator=(const Cancellable& other) {
    Cancelled = other.Cancelled;
    return *this;
  }
  ~Cancellable() = default;

 private:
  bool own_ = false;
};

}  // namespace fotoloom
