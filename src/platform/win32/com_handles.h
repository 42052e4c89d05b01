// Small owners for the COM, OLE Automation and Win32 resources: an interface pointer, a
// BSTR, a VARIANT, a row of VARIANTs, a SAFEARRAY and every kernel handle are each released
// exactly once, by their owner's destructor.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace vantrel::platform::win32 {

// A counted interface pointer (AddRef on copy, Release on destruction).
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference that the caller already owns.
    static ComPtr adopt(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Adds a reference of its own.
    static ComPtr share(T* p) {
        if (p) p->AddRef();
        return adopt(p);
    }
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For an out parameter: releases what was held and hands the slot over.
    T** put() {
        reset();
        return &p_;
    }
    // Gives the reference away (to an out parameter of our own).
    T* detach() { return std::exchange(p_, nullptr); }

    // The object's interface U (its IID from the type), or null when it has none.
    template <class U>
    [[nodiscard]] ComPtr<U> query() const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(r.put()));
        return r;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* s) : b_(s ? SysAllocString(s) : nullptr) {}
    Bstr(const wchar_t* s, UINT length) : b_(SysAllocStringLen(s, length)) {}
    static Bstr adopt(BSTR b) {
        Bstr r;
        r.b_ = b;
        return r;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        if (this != &o) {
            SysFreeString(b_);
            b_ = std::exchange(o.b_, nullptr);
        }
        return *this;
    }
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR detach() { return std::exchange(b_, nullptr); }
    UINT length() const { return SysStringLen(b_); }

private:
    BSTR b_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    UniqueVariant(UniqueVariant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    UniqueVariant& operator=(UniqueVariant&& o) noexcept {
        if (this != &o) {
            VariantClear(&v_);
            v_ = o.v_;
            VariantInit(&o.v_);
        }
        return *this;
    }
    ~UniqueVariant() { VariantClear(&v_); }
    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* operator->() { return &v_; }
    void clear() { VariantClear(&v_); }
    // Moves the value out to a VARIANT the caller owns (which must be cleared or empty).
    void detachTo(VARIANT* target) {
        *target = v_;
        VariantInit(&v_);
    }

private:
    VARIANT v_;
};

// VARIANTs laid out as DISPPARAMS::rgvarg wants them, each cleared with the row. A
// by-reference VARIANT only points elsewhere: clearing it leaves the referenced value alone.
class VariantVector {
public:
    explicit VariantVector(std::size_t n = 0) : v_(n) {
        for (auto& v : v_) VariantInit(&v);
    }
    VariantVector(const VariantVector&) = delete;
    VariantVector& operator=(const VariantVector&) = delete;
    VariantVector(VariantVector&& o) noexcept : v_(std::exchange(o.v_, {})) {}
    VariantVector& operator=(VariantVector&& o) noexcept {
        if (this != &o) {
            clear();
            v_ = std::exchange(o.v_, {});
        }
        return *this;
    }
    ~VariantVector() { clear(); }
    VARIANT* data() { return v_.data(); }
    std::size_t size() const { return v_.size(); }
    VARIANT& operator[](std::size_t i) { return v_[i]; }

private:
    void clear() {
        for (auto& v : v_) VariantClear(&v);
        v_.clear();
    }
    std::vector<VARIANT> v_;
};

class UniqueSafeArray {
public:
    UniqueSafeArray() = default;
    explicit UniqueSafeArray(SAFEARRAY* a) : a_(a) {}
    UniqueSafeArray(const UniqueSafeArray&) = delete;
    UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
    ~UniqueSafeArray() {
        if (a_) SafeArrayDestroy(a_);
    }
    SAFEARRAY* get() const { return a_; }
    SAFEARRAY* detach() { return std::exchange(a_, nullptr); }

private:
    SAFEARRAY* a_ = nullptr;
};

// Keeps a SAFEARRAY's data locked for a scope.
class SafeArrayLock {
public:
    explicit SafeArrayLock(SAFEARRAY* a) : a_(a), ok_(SUCCEEDED(SafeArrayLock_(a))) {}
    ~SafeArrayLock() {
        if (ok_) SafeArrayUnlock(a_);
    }
    SafeArrayLock(const SafeArrayLock&) = delete;
    SafeArrayLock& operator=(const SafeArrayLock&) = delete;
    bool ok() const { return ok_; }

private:
    static HRESULT SafeArrayLock_(SAFEARRAY* a) { return ::SafeArrayLock(a); }
    SAFEARRAY* a_;
    bool ok_;
};

// A Win32 handle closed by `Close` unless it holds `Invalid` (the handle's value as a
// number: 0 for most, -1 for INVALID_HANDLE_VALUE), after WIL's unique_any.
template <class T, auto Close, INT_PTR Invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, invalid()));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    void reset(T h = invalid()) {
        T old = std::exchange(h_, h);
        if (old != invalid()) Close(old);
    }
    T get() const { return h_; }
    // For an out parameter: closes what was held and hands the slot over.
    T* put() {
        reset();
        return &h_;
    }
    explicit operator bool() const { return h_ != invalid(); }

private:
    static T invalid() { return reinterpret_cast<T>(Invalid); }
    T h_ = invalid();
};

using UniqueRegKey = UniqueHandle<HKEY, &RegCloseKey>;
using UniqueFindHandle = UniqueHandle<HANDLE, &FindClose, -1>;
using UniqueFileHandle = UniqueHandle<HANDLE, &CloseHandle, -1>;
// Threads, events and the other kernel objects whose creation gives null on failure.
using UniqueObjectHandle = UniqueHandle<HANDLE, &CloseHandle>;
using UniqueLocalMemory = UniqueHandle<HLOCAL, &LocalFree>;
inline void releaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}
using UniqueScreenDc = UniqueHandle<HDC, &releaseScreenDc>;

// A descriptor that a type library or type hands out and wants back (TYPEATTR, FUNCDESC,
// TLIBATTR), given back through its owner on every path.
template <class Owner, class Desc, void (*Release)(Owner*, Desc*)>
class TypeDescriptor {
public:
    explicit TypeDescriptor(Owner* owner) : owner_(owner) {}
    TypeDescriptor(const TypeDescriptor&) = delete;
    TypeDescriptor& operator=(const TypeDescriptor&) = delete;
    ~TypeDescriptor() { reset(); }

    void reset() {
        if (Desc* old = std::exchange(desc_, nullptr)) Release(owner_, old);
    }
    Desc** put() {
        reset();
        return &desc_;
    }
    Desc* operator->() const { return desc_; }
    explicit operator bool() const { return desc_ != nullptr; }

private:
    Owner* owner_;
    Desc* desc_ = nullptr;
};

inline void releaseTypeAttr(ITypeInfo* owner, TYPEATTR* d) {
    owner->ReleaseTypeAttr(d);
}
inline void releaseFuncDesc(ITypeInfo* owner, FUNCDESC* d) {
    owner->ReleaseFuncDesc(d);
}
inline void releaseTLibAttr(ITypeLib* owner, TLIBATTR* d) {
    owner->ReleaseTLibAttr(d);
}
using UniqueTypeAttr = TypeDescriptor<ITypeInfo, TYPEATTR, &releaseTypeAttr>;
using UniqueFuncDesc = TypeDescriptor<ITypeInfo, FUNCDESC, &releaseFuncDesc>;
using UniqueTLibAttr = TypeDescriptor<ITypeLib, TLIBATTR, &releaseTLibAttr>;

}  // namespace vantrel::platform::win32
