// Host strings, string lists, argument lists, sets and mutexes.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "host/arg_list.h"
#include "host/host_state.h"
#include "host/host_strings.h"
#include "host/ledger.h"
#include "host_api/zel_api.h"

struct ZelStringList_s {
    std::vector<std::string> items;
};

struct ZelSet_s {
    std::vector<int64_t> members;  // sorted, unique
};

struct ZelMutex_s {
    std::mutex mutex;
};

namespace zelhost {

char* AllocHostString(int64_t size, const char* label) {
    if (size < 0) return nullptr;
    void* block = std::calloc(static_cast<size_t>(size > 0 ? size : 1), 1);
    if (block == nullptr) return nullptr;
    TheLedger().Add(block, label != nullptr ? label : "(no label)", size);
    return static_cast<char*>(block);
}

char* CopyToHostString(const std::string& text, const char* label) {
    char* copy = AllocHostString(static_cast<int64_t>(text.size()) + 1, label);
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

StringList_pa MakeStringList(const std::vector<std::string>& items) {
    StringList_pa list = ZelUtilStringListAlloc();
    if (list != nullptr) list->items = items;
    return list;
}

std::vector<std::string> StringListItems(StringList_pa list) {
    return list == nullptr ? std::vector<std::string>{} : list->items;
}

std::vector<int64_t> SetMembers(Set_pa set) { return set == nullptr ? std::vector<int64_t>{} : set->members; }

namespace {

template <class T>
T* NewTracked(const char* label) {
    T* object = new (std::nothrow) T;
    if (object != nullptr) TheLedger().Add(object, label, static_cast<int64_t>(sizeof(T)));
    return object;
}

template <class T>
void DeleteTracked(T** object, const char* what) {
    if (object == nullptr || *object == nullptr) return;
    if (TheLedger().Remove(*object)) {
        delete *object;
    } else {
        State().Fault(std::string("release of a ") + what + " the host did not hand out");
    }
    *object = nullptr;
}

}  // namespace
}  // namespace zelhost

using namespace zelhost;

extern "C" {

char* ZelUtilStringAlloc(int64_t size, const char* label) { return AllocHostString(size, label); }

void ZelUtilStringDealloc(char** s) {
    if (s == nullptr || *s == nullptr) return;
    if (TheLedger().Remove(*s)) {
        std::free(*s);
    } else {
        State().Fault("release of a string the host did not hand out");
    }
    *s = nullptr;
}

StringList_pa ZelUtilStringListAlloc(void) { return NewTracked<ZelStringList_s>("String List"); }

void ZelUtilStringListDealloc(StringList_pa* list) { DeleteTracked(list, "string list"); }

Boolean_t ZelUtilStringListAppendString(StringList_pa list, const char* s) {
    if (list == nullptr || s == nullptr) return ZEL_FALSE;
    try {
        list->items.emplace_back(s);
    } catch (const std::bad_alloc&) {
        return ZEL_FALSE;
    }
    return ZEL_TRUE;
}

LgIndex_t ZelUtilStringListGetCount(StringList_pa list) {
    return list == nullptr ? 0 : static_cast<LgIndex_t>(list->items.size());
}

char* ZelUtilStringListGetString(StringList_pa list, LgIndex_t index) {
    if (list == nullptr || index < 1 || index > static_cast<LgIndex_t>(list->items.size())) return nullptr;
    return CopyToHostString(list->items[static_cast<size_t>(index - 1)], "String List Copy");
}

ArgList_pa ZelUtilArgListAlloc(void) { return NewTracked<ZelArgList_s>("Arg List"); }

void ZelUtilArgListDealloc(ArgList_pa* list) { DeleteTracked(list, "argument list"); }

void ZelUtilArgListClear(ArgList_pa list) {
    if (list != nullptr) list->items.clear();
}

}  // extern "C"

namespace {

// One named item, its value filled in by `fill`.
template <class Fill>
Boolean_t AppendItem(ArgList_pa list, const char* name, ZelArgList_s::Kind kind, Fill fill) {
    if (list == nullptr || name == nullptr) return ZEL_FALSE;
    const size_t before = list->items.size();
    try {
        // Built in place: a list is refilled for every zone, and an item is not small.
        ZelArgList_s::Item& item = list->items.emplace_back();
        item.key = zelhost::ArgNameOf(name);
        item.kind = kind;
        if (item.key == zelhost::ArgName::Other) item.otherName = name;
        fill(item);
    } catch (const std::bad_alloc&) {
        if (list->items.size() > before) list->items.pop_back();  // no half-made item
        return ZEL_FALSE;
    }
    return ZEL_TRUE;
}

using Item = ZelArgList_s::Item;
using Kind = ZelArgList_s::Kind;

}  // namespace

extern "C" {

Boolean_t ZelUtilArgListAppendString(ArgList_pa list, const char* name, const char* value) {
    if (value == nullptr) return ZEL_FALSE;
    return AppendItem(list, name, Kind::String, [value](Item& item) { item.text = value; });
}

Boolean_t ZelUtilArgListAppendInt(ArgList_pa list, const char* name, int64_t value) {
    return AppendItem(list, name, Kind::Int, [value](Item& item) { item.integer = value; });
}

Boolean_t ZelUtilArgListAppendDouble(ArgList_pa list, const char* name, double value) {
    return AppendItem(list, name, Kind::Double, [value](Item& item) { item.real = value; });
}

Boolean_t ZelUtilArgListAppendArray(ArgList_pa list, const char* name, const void* values) {
    return AppendItem(list, name, Kind::Array, [values](Item& item) { item.array = values; });
}

Boolean_t ZelUtilArgListAppendFunction(ArgList_pa list, const char* name, ZelFunction_pf function) {
    return AppendItem(list, name, Kind::Function, [function](Item& item) { item.function = function; });
}

Set_pa ZelUtilSetAlloc(Boolean_t) { return NewTracked<ZelSet_s>("Set"); }

void ZelUtilSetDealloc(Set_pa* set) { DeleteTracked(set, "set"); }

Boolean_t ZelUtilSetAddMember(Set_pa set, int64_t member, Boolean_t) {
    if (set == nullptr || member < 1) return ZEL_FALSE;
    // Members usually arrive in order: appending needs no search.
    auto at = set->members.empty() || set->members.back() < member
                  ? set->members.end()
                  : std::lower_bound(set->members.begin(), set->members.end(), member);
    if (at != set->members.end() && *at == member) return ZEL_TRUE;
    try {
        set->members.insert(at, member);
    } catch (const std::bad_alloc&) {
        return ZEL_FALSE;
    }
    return ZEL_TRUE;
}

int64_t ZelUtilSetGetMemberCount(Set_pa set) {
    return set == nullptr ? 0 : static_cast<int64_t>(set->members.size());
}

char* ZelUtilGetBasePath(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    const std::string name(fileName);
    const size_t slash = name.rfind('/');
    return CopyToHostString(slash == std::string::npos ? std::string() : name.substr(0, slash + 1), "Base Path");
}

Mutex_pa ZelUtilThreadMutexAlloc(void) { return NewTracked<ZelMutex_s>("Thread Mutex"); }

void ZelUtilThreadMutexLock(Mutex_pa mutex) {
    if (mutex != nullptr) mutex->mutex.lock();
}

void ZelUtilThreadMutexUnlock(Mutex_pa mutex) {
    if (mutex != nullptr) mutex->mutex.unlock();
}

void ZelUtilThreadMutexDealloc(Mutex_pa* mutex) { DeleteTracked(mutex, "mutex"); }

}  // extern "C"
