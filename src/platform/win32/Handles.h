#pragma once
// Move-only owners of the handles the Windows layer opens. Each owner closes
// its handle exactly once; copying is impossible, moving hands it over.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <utility>

namespace dovoviza::win32 {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::IsValid(value_); }

    // For functions that return a handle through an out-parameter; whatever
    // was owned before is closed first.
    Type* put() noexcept {
        reset();
        return &value_;
    }

    Type release() noexcept { return std::exchange(value_, Traits::Empty()); }

    void reset(Type value = Traits::Empty()) noexcept {
        const Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    Type value_ = Traits::Empty();
};

namespace detail {

// A failed close leaves nothing to undo, so the results below are dropped on purpose.

struct HKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(RegCloseKey(h)); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(FindClose(h)); }
};

// Kernel calls disagree on how they say "no handle" (CreateFileW gives
// INVALID_HANDLE_VALUE, CreateProcessW and most others null), so both count as empty.
// The pseudo-handle of the current process equals INVALID_HANDLE_VALUE and is never owned.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { static_cast<void>(CloseHandle(h)); }
};

struct HIconTraits {
    using Type = HICON;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(DestroyIcon(h)); }
};

struct HImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(ImageList_Destroy(h)); }
};

// Fonts, bitmaps and brushes are all GDI objects, freed the same way.
template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(DeleteObject(h)); }
};

struct HMenuTraits {
    using Type = HMENU;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(DestroyMenu(h)); }
};

}  // namespace detail

using UniqueHKey = UniqueResource<detail::HKeyTraits>;
using UniqueFindHandle = UniqueResource<detail::FindHandleTraits>;
using UniqueHandle = UniqueResource<detail::KernelHandleTraits>;
using UniqueHIcon = UniqueResource<detail::HIconTraits>;
using UniqueHImageList = UniqueResource<detail::HImageListTraits>;
using UniqueHFont = UniqueResource<detail::GdiObjectTraits<HFONT>>;
using UniqueHBitmap = UniqueResource<detail::GdiObjectTraits<HBITMAP>>;
using UniqueHBrush = UniqueResource<detail::GdiObjectTraits<HBRUSH>>;
using UniqueHMenu = UniqueResource<detail::HMenuTraits>;

// Memory the shell hands out with CoTaskMemAlloc (item lists and the like).
struct CoTaskMemFreer {
    void operator()(void* memory) const noexcept { CoTaskMemFree(memory); }
};
template <typename T>
using UniqueCoTaskMem = std::unique_ptr<T, CoTaskMemFreer>;

// Owns one reference of a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }

    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // For creation functions that hand out a new reference.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }

    // Asks the object for another of its interfaces.
    template <typename U>
    HRESULT As(ComPtr<U>& target) const noexcept {
        if (!ptr_) return E_POINTER;
        return ptr_->QueryInterface(__uuidof(U), target.put_void());
    }

private:
    T* ptr_ = nullptr;
};

// Pairs CoInitializeEx with CoUninitialize on the same thread. A thread that
// already runs COM in the other apartment model can still use it, but must
// not be uninitialised by us.
class ComInitializer {
public:
    explicit ComInitializer(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : result_(CoInitializeEx(nullptr, model)) {}
    ~ComInitializer() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

    ComInitializer(ComInitializer&& other) noexcept
        : result_(std::exchange(other.result_, kNotOwned)) {}
    ComInitializer& operator=(ComInitializer&&) = delete;
    ComInitializer(const ComInitializer&) = delete;
    ComInitializer& operator=(const ComInitializer&) = delete;

    // True when COM can be used on this thread.
    bool Usable() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    // Left in a moved-from initialiser so that it uninitialises nothing.
    static constexpr HRESULT kNotOwned = CO_E_NOTINITIALIZED;
    HRESULT result_;
};

// A window's device context (the screen's for no window), with a font
// selected while it is held; the font is taken out and the context given back
// on every path.
class WindowDc {
public:
    explicit WindowDc(HWND window, HFONT font = nullptr) : window_(window), dc_(GetDC(window)) {
        if (dc_ != nullptr && font != nullptr) old_ = SelectObject(dc_, font);
    }
    ~WindowDc() {
        if (dc_ == nullptr) return;
        if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
        ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace dovoviza::win32
