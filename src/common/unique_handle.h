// One move-only owner for every kind of platform handle. A Traits type names the handle type,
// its invalid value and its close function, e.g.
//   struct RegKeyTraits { using Type = HKEY; static Type Invalid() { return nullptr; }
//                         static void Close(Type h) { RegCloseKey(h); } };
#pragma once

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    // The address to hand to a call that fills the handle in; whatever was held is closed first.
    Type* put() {
        reset();
        return &handle_;
    }

    // Gives up ownership without closing.
    Type release() { return std::exchange(handle_, Traits::Invalid()); }

    void reset(Type handle = Traits::Invalid()) {
        Type old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Type handle_ = Traits::Invalid();
};
