// ASCII variable files, read at load time into the zones of one step.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "casefile/element_types.h"
#include "dataset/field_loading.h"
#include "dataset/load_reader.h"
#include "ensight6/ascii_value_reader.h"
#include "ensight6/text_fields.h"
#include "ensight6/value_source.h"
#include "ensight6/variable_file.h"
#include "gold/file_a.h"
#include "gold/page_memory.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

// The zone's field of `variable`, allocated; null when the host refuses.
FieldData_pa WritableField(int32_t zone, int32_t variable) {
    if (ZelUtilDataValueAlloc(zone, variable) != ZEL_TRUE) return nullptr;
    return ZelUtilDataValueGetWritableRef(zone, variable);
}

// `first` counts from 0.
bool HandComponent(int32_t zone, int32_t variable, int64_t first, int64_t count, const float* values) {
    if (count == 0) return true;
    FieldData_pa field = WritableField(zone, variable);
    return field != nullptr && HandOver(field, first, count, values);
}

class AsciiVariableReader {
public:
    AsciiVariableReader(const Ensight6VariableFile& file, File_a& handle, Failure& failure)
        : vf_(file), file_(handle), reader_(handle), failure_(failure) {}

    bool Fail(const std::string& what) {
        return FailVariableFile(failure_, vf_.path, what, {vf_.path, file_.Tell(), true});
    }

    // The values of a part the geometry lacks are passed over, and the part noted.
    bool PassOverPart(int32_t index, int32_t number) {
        if (index < 0 && vf_.partsNotInGeometry != nullptr) vf_.partsNotInGeometry->push_back(number);
        return reader_.SkipToNextPart() || Fail("read error");
    }

    // Description (after an optional "BEGIN TIME STEP" line).
    bool ReadHeader() {
        if (!reader_.ReadLine(line_)) return Fail(vf_.start > 0 ? "the file holds no further time step" : "the file is empty");
        if (IsBeginStep(line_) && !reader_.ReadLine(line_))
            return Fail("the file ends after its first line");
        if (CutLineEnd(line_).size() > StringTextLength) {
            failure_.Set(VariableDescriptionMessage);
            return false;
        }
        return true;
    }

    // The next line that is not blank; false at the end of the file or of the step.
    bool NextContentLine(int64_t& start) {
        while (!stepEnded_) {
            start = file_.Tell();
            if (!reader_.ReadLine(line_)) return false;
            std::string_view rest = line_;
            std::string_view token = nextToken(rest);
            if (token.empty()) continue;
            stepEnded_ = IsEndStep(line_);
            return !stepEnded_;
        }
        return false;
    }

    // `count` values a slice at a time, `deliver(values, done, n)` taking values
    // done..done+n: fresh pages for a whole part would each fault again. A
    // slice is whole lines of whole items, so it splits neither.
    template <class Deliver>
    bool ReadSlices(int64_t count, const char* badValues, Deliver&& deliver) {
        const int64_t whole = int64_t{6} * vf_.components;
        slice_ = std::max(whole, ChunkValues / whole * whole);
        const char* failure = "not enough memory for the values";
        const auto read = [&](float* values, int64_t n) {
            failure = badValues;
            return reader_.ReadValues(values, n, 6);
        };
        const auto hand = [&](const float* values, int64_t done, int64_t n) {
            failure = nullptr;  // `deliver` tells why itself
            return deliver(values, done, n);
        };
        return FillChunks<float>(count, slice_, read, hand) || (failure != nullptr && Fail(failure));
    }

    // Values interleaved per item, the first going to position `first`; a bar3
    // value goes to both of its segments.
    bool HandToZone(int32_t zone, int64_t first, const float* values, int64_t count, bool twice) {
        const int64_t items = count / vf_.components;
        const int64_t most = slice_ / vf_.components;  // items of a slice
        // One component of a slice, then that doubled.
        if ((vf_.components > 1 || twice) && !side_ && !(side_ = ScratchArray<float>(3 * most)))
            return Fail("not enough memory for the values");
        float* component = side_.get();
        float* doubled = side_.get() + (vf_.components > 1 ? most : 0);
        for (int32_t c = 0; c < vf_.components; ++c) {
            const float* out = values;
            if (vf_.components > 1) {
                GatherComponent(values, component, items, vf_.components, c);
                out = component;
            }
            if (twice) {
                DoubleValues(out, items, doubled);
                out = doubled;
            }
            if (!HandComponent(zone, vf_.firstVariable + 1 + c, first, twice ? 2 * items : items, out))
                return Fail("the host refused the values");
        }
        return true;
    }

    // `count` interleaved values of a zone, the first item going to position `first`.
    bool ReadZoneValues(int32_t zone, int64_t count, int64_t first, bool twice, const char* badValues) {
        const int64_t step = twice ? 2 : 1;
        return ReadSlices(count, badValues, [&](const float* values, int64_t done, int64_t n) {
            return HandToZone(zone, first + step * (done / vf_.components), values, n, twice);
        });
    }

    bool ReadGlobalValues() {
        int64_t nn = vf_.step->geometry->nodeCount;
        int64_t count = nn * vf_.components;
        const int64_t start = file_.Tell();
        int32_t firstZone = 0;
        const auto& parts = vf_.step->geometry->parts.parts();
        for (size_t i = 0; i < parts.size(); ++i) {
            int32_t zone = vf_.step->zones[i];
            if (zone == 0 || parts[i]->kind != Ensight6Unstructured) continue;
            if (firstZone != 0) {
                // Read again for each zone that cannot share them.
                if (ShareValues(vf_.firstVariable, vf_.components, firstZone, zone)) continue;
                if (!reader_.Unread(start)) return Fail("seek failed");
            }
            if (!ReadZoneValues(zone, count, 0, false, "bad or missing node values")) return false;
            if (firstZone == 0) firstZone = zone;
        }
        if (firstZone == 0 && !reader_.SkipValues(count, 6)) return Fail("the file ends inside the node values");
        return true;
    }

    // Per component, `count` values, each component starting on a new line;
    // `place(variable, first, values, n)` hands values first..first+n over.
    template <class Place>
    bool ReadComponents(int64_t count, bool wanted, Place&& place) {
        if (!wanted) {
            if (!reader_.SkipValues(count * vf_.components, 6)) return Fail("the file ends inside a value list");
            return true;
        }
        for (int32_t c = 0; c < vf_.components; ++c) {
            const int32_t variable = vf_.firstVariable + 1 + c;
            const bool read = ReadSlices(count, "bad or missing values", [&](const float* values, int64_t done, int64_t n) {
                return place(variable, done, values, n) || Fail("the host refused the values");
            });
            if (!read) return false;
        }
        return true;
    }

    // "block" line, then per component the values of `count` items of the block.
    bool ReadBlockPart(const GeometryPart& part, int32_t zone, bool perElement) {
        int64_t start = 0;
        if (!NextContentLine(start)) return Fail("expected a \"block\" line");
        std::string_view rest = line_;
        if (!EqualsIgnoreCase(nextToken(rest), "block")) return Fail("expected a \"block\" line");
        int64_t count = perElement ? part.CellCount() : part.NodeCount();
        return ReadComponents(count, zone != 0, [&](int32_t variable, int64_t first, const float* values, int64_t n) {
            if (!perElement) return HandComponent(zone, variable, first, n, values);
            FieldData_pa field = WritableField(zone, variable);
            return field != nullptr && HandOverStructuredCells(field, {part.imax, part.jmax, part.kmax}, first, values, n);
        });
    }

    // Element-type lines with their values until the next part.
    bool ReadElementPart(const GeometryPart& part, int32_t zone) {
        PartBlockCursor cursor(part);
        for (;;) {
            int64_t start = 0;
            if (!NextContentLine(start)) return true;
            std::string_view rest = line_;
            std::string_view token = nextToken(rest);
            if (EqualsIgnoreCase(token, "part")) return reader_.Unread(start) ? true : Fail("seek failed");
            const GeometryElementBlock* block = cursor.Next(ElementTypeFromName(token));
            if (block == nullptr) return Fail("element type not in the geometry part");
            bool wanted = zone != 0 && block->inCategory && part.category >= CategoryLine;
            int64_t count = static_cast<int64_t>(block->elementCount) * vf_.components;
            if (!wanted) {
                if (!reader_.SkipValues(count, 6)) return Fail("the file ends inside a value list");
                continue;
            }
            if (!ReadZoneValues(zone, count, cursor.firstElement(), ZoneElementsOf(block->type, 1) == 2, "bad or missing element values"))
                return false;
        }
    }

    bool ReadNodeFile() {
        if (!ReadHeader()) return false;
        int64_t start = 0;
        bool more = NextContentLine(start);
        int32_t number = 0;
        if (more && !ReadPartLine(line_, number)) {
            if (!reader_.Unread(start)) return Fail("seek failed");
            if (!ReadGlobalValues()) return false;
            more = NextContentLine(start);
        }
        while (more) {
            if (!ReadPartLine(line_, number)) return Fail("expected a \"part\" line");
            int32_t index = vf_.step->PartIndex(number);
            if (index >= 0 && vf_.step->geometry->parts.parts()[static_cast<size_t>(index)]->kind == Ensight6Block) {
                const GeometryPart& part = *vf_.step->geometry->parts.parts()[static_cast<size_t>(index)];
                if (!ReadBlockPart(part, vf_.step->zones[static_cast<size_t>(index)], false)) return false;
            } else if (!PassOverPart(index, number)) {
                return false;
            }
            more = NextContentLine(start);
        }
        return true;
    }

    bool ReadElementFile() {
        if (!ReadHeader()) return false;
        int64_t start = 0;
        while (NextContentLine(start)) {
            int32_t number = 0;
            if (!ReadPartLine(line_, number)) return Fail("expected a \"part\" line");
            int32_t index = vf_.step->PartIndex(number);
            if (index < 0) {
                if (!PassOverPart(index, number)) return false;
                continue;
            }
            const GeometryPart& part = *vf_.step->geometry->parts.parts()[static_cast<size_t>(index)];
            int32_t zone = vf_.step->zones[static_cast<size_t>(index)];
            bool ok = part.kind == Ensight6Block ? ReadBlockPart(part, zone, true) : ReadElementPart(part, zone);
            if (!ok) return false;
        }
        return true;
    }

private:
    const Ensight6VariableFile& vf_;
    File_a& file_;
    AsciiValueReader reader_;
    Failure& failure_;
    std::string line_;
    bool stepEnded_ = false;  // "END TIME STEP" read: the rest of the file is later steps
    int64_t slice_ = 0;
    ScratchArray<float> side_;
};

}  // namespace

bool ReadEnsight6NodeVariable(const Ensight6VariableFile& file, int64_t& next, Failure& failure) {
    return WithVariableFile<AsciiVariableReader>(file, next, failure,
                                       [](AsciiVariableReader& reader) { return reader.ReadNodeFile(); });
}

bool ReadEnsight6ElementVariable(const Ensight6VariableFile& file, int64_t& next, Failure& failure) {
    return WithVariableFile<AsciiVariableReader>(file, next, failure,
                                       [](AsciiVariableReader& reader) { return reader.ReadElementFile(); });
}

}  // namespace quorix
