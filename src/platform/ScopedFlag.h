#pragma once
// Sets a flag for as long as a scope runs and restores it however the scope
// ends, an exception included: a flag that stayed set would stop the watchdog
// or a dialog for good.

namespace dovoviza {

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = was_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
    bool was_;
};

}  // namespace dovoviza
