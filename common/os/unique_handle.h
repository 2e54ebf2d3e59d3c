// One owner for every kind of handle the programs hold, in the manner of
// Chromium's ScopedGeneric: the traits say what an empty handle is and how
// one is given back; the owner gives it back exactly once. A handle kept for
// the life of the process is not put in one, and says so where it is made.
//
//   struct Traits {
//       using handle_type = ...;
//       static handle_type invalid() noexcept;
//       static void close(handle_type handle) noexcept; // never called with invalid()
//   };
#pragma once

#include <utility>

template <class Traits>
class unique_handle {
public:
    using handle_type = typename Traits::handle_type;

    unique_handle() noexcept = default;
    explicit unique_handle(handle_type handle) noexcept : handle_(handle) {}
    unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    ~unique_handle() { reset(); }

    handle_type get() const noexcept { return handle_; }
    bool valid() const noexcept { return !(handle_ == Traits::invalid()); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives back the handle held, if any, and holds `handle` instead.
    void reset(handle_type handle = Traits::invalid()) noexcept
    {
        const handle_type old = std::exchange(handle_, handle);
        if (!(old == Traits::invalid()))
            Traits::close(old);
    }
    // The caller owns the handle from now on.
    [[nodiscard]] handle_type release() noexcept { return std::exchange(handle_, Traits::invalid()); }

    // For a call that hands over a new handle through a pointer: gives back
    // the one held first.
    handle_type* out() noexcept
    {
        reset();
        return &handle_;
    }

private:
    handle_type handle_ = Traits::invalid();
};
