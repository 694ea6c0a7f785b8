// One move-only owner for every kind of platform handle, named by the handle's type, the function
// that closes it and the value that means "no handle" (0 unless given), one line per kind:
//   using UniqueRegKey = UniqueHandle<HKEY, RegCloseKey>;
//   using UniqueFileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;  // INVALID_HANDLE_VALUE
#pragma once

#include <cstdint>
#include <utility>

template <typename Handle, auto Close, intptr_t Invalid = 0>
class UniqueHandle {
  public:
    using Type = Handle;

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

    static Type InvalidValue() { return reinterpret_cast<Type>(Invalid); }
    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != InvalidValue(); }

    // The address to hand to a call that fills the handle in; whatever was held is closed first.
    Type* put() {
        reset();
        return &handle_;
    }

    // Gives up ownership without closing.
    Type release() { return std::exchange(handle_, InvalidValue()); }

    void reset(Type handle = InvalidValue()) {
        Type old = std::exchange(handle_, handle);
        if (old != InvalidValue()) Close(old);
    }

  private:
    Type handle_ = InvalidValue();
};
