// Records and strings that live in host memory, so that the host's ledger
// accounts for every allocation by label.
#pragma once

#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "host_api/zel_api.h"

namespace quorix {

// An owned host string ("new string" unless told otherwise); empty = none.
class HostString {
public:
    HostString() = default;
    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;
    HostString(HostString&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    HostString& operator=(HostString&& other) noexcept {
        if (this != &other) {
            Release();
            text_ = std::exchange(other.text_, nullptr);
        }
        return *this;
    }
    ~HostString() { Release(); }

    // Replaces the value; false when the host has no memory (value then empty).
    bool Assign(std::string_view value, const char* label = "new string") {
        Release();
        text_ = ZelUtilStringAlloc(static_cast<int64_t>(value.size()) + 1, label);
        if (text_ == nullptr) return false;
        if (!value.empty()) std::memcpy(text_, value.data(), value.size());
        text_[value.size()] = '\0';
        return true;
    }
    bool Append(std::string_view more) {
        std::string_view old = view();
        char* joined = ZelUtilStringAlloc(static_cast<int64_t>(old.size() + more.size()) + 1, "new string");
        if (joined == nullptr) return false;
        if (!old.empty()) std::memcpy(joined, old.data(), old.size());
        if (!more.empty()) std::memcpy(joined + old.size(), more.data(), more.size());
        joined[old.size() + more.size()] = '\0';
        Release();
        text_ = joined;
        return true;
    }
    // Takes over a string the host returned (for example ZelUtilGetBasePath).
    void Adopt(char* hostString) {
        Release();
        text_ = hostString;
    }
    void Release() { ZelUtilStringDealloc(&text_); }

    bool empty() const { return text_ == nullptr || text_[0] == '\0'; }
    bool isSet() const { return text_ != nullptr; }
    const char* c_str() const { return text_ != nullptr ? text_ : ""; }
    std::string_view view() const { return text_ != nullptr ? std::string_view(text_) : std::string_view(); }
    char* get() const { return text_; }

private:
    char* text_ = nullptr;
};

// A plain record in host memory under a label; null when the host has no memory.
template <class T, class... Args>
T* HostNew(const char* label, Args&&... args) {
    void* memory = ZelUtilStringAlloc(static_cast<int64_t>(sizeof(T)), label);
    if (memory == nullptr) return nullptr;
    return new (memory) T(std::forward<Args>(args)...);
}

template <class T>
void HostDelete(T*& record) {
    if (record == nullptr) return;
    record->~T();
    char* memory = reinterpret_cast<char*>(record);
    ZelUtilStringDealloc(&memory);
    record = nullptr;
}

// An array of trivially copyable values in host memory, growing by appending.
template <class T>
class HostArray {
public:
    HostArray() = default;
    HostArray(const HostArray&) = delete;
    HostArray& operator=(const HostArray&) = delete;
    ~HostArray() { Release(); }

    // Grows to hold at least `capacity` values; false when the host refuses.
    bool Reserve(int64_t capacity, const char* label) {
        if (capacity <= capacity_) return true;
        char* memory = ZelUtilStringAlloc(capacity * static_cast<int64_t>(sizeof(T)), label);
        if (memory == nullptr) return false;
        if (size_ > 0) std::memcpy(memory, data_, static_cast<size_t>(size_) * sizeof(T));
        Release(false);
        data_ = reinterpret_cast<T*>(memory);
        capacity_ = capacity;
        return true;
    }
    bool Append(T value, const char* label) {
        if (size_ == capacity_ && !Reserve(capacity_ < 16 ? 16 : capacity_ * 2, label)) return false;
        data_[size_++] = value;
        return true;
    }
    // Appends without ever holding room for more than `maxSize` values (a count
    // read from a file bounds the array, values read make it grow); false when full.
    bool AppendWithin(T value, int64_t maxSize, const char* label) {
        if (size_ >= maxSize) return false;
        if (size_ == capacity_) {
            const int64_t grown = capacity_ < 16 ? 16 : (capacity_ > maxSize / 2 ? maxSize : capacity_ * 2);
            if (!Reserve(grown < maxSize ? grown : maxSize, label)) return false;
        }
        data_[size_++] = value;
        return true;
    }
    // Drops the values from `size` on.
    void Truncate(int64_t size) {
        if (size < size_) size_ = size < 0 ? 0 : size;
    }
    void Release(bool resetSize = true) {
        char* memory = reinterpret_cast<char*>(data_);
        ZelUtilStringDealloc(&memory);
        data_ = nullptr;
        capacity_ = 0;
        if (resetSize) size_ = 0;
    }
    T* data() const { return data_; }
    int64_t size() const { return size_; }
    int64_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    T operator[](int64_t i) const { return data_[i]; }

private:
    T* data_ = nullptr;
    int64_t size_ = 0;
    int64_t capacity_ = 0;
};

}  // namespace quorix
