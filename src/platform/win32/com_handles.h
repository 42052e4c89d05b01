// Small owners for the COM and OLE Automation resources: an interface pointer, a BSTR, a
// VARIANT and a SAFEARRAY are each released exactly once, by their owner's destructor.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

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

    template <class U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.put()));
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

}  // namespace vantrel::platform::win32
