// Host sets and lists owned for a scope.
#pragma once

#include "host_api/zel_api.h"

namespace quorix {

// Owns one host object made by `Alloc` and freed by `Dealloc`; null when the host had no memory.
template <class Handle, Handle (*Alloc)(), void (*Dealloc)(Handle*)>
class HostHandle {
public:
    HostHandle() : handle_(Alloc()) {}
    ~HostHandle() { Dealloc(&handle_); }
    HostHandle(const HostHandle&) = delete;
    HostHandle& operator=(const HostHandle&) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

// A set the add-on fills itself: the host shows no error of its own when it has no memory.
inline Set_pa AllocQuietSet() { return ZelUtilSetAlloc(ZEL_FALSE); }

using HostSet = HostHandle<Set_pa, AllocQuietSet, ZelUtilSetDealloc>;
using HostStringList = HostHandle<StringList_pa, ZelUtilStringListAlloc, ZelUtilStringListDealloc>;
using HostArgList = HostHandle<ArgList_pa, ZelUtilArgListAlloc, ZelUtilArgListDealloc>;

}  // namespace quorix
