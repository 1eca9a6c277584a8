// C binary variable files: one walk per file records where each zone's
// values lie and registers a load-on-demand source per zone and component.
#include <vector>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "ensight6/text_fields.h"
#include "ensight6/value_source.h"
#include "ensight6/variable_file.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

constexpr int64_t RecordSize = StringRecordBytes;  // signed, for seeks back over one

class BinaryVariableWalker {
public:
    BinaryVariableWalker(const Ensight6VariableFile& vf, File_a& file, Failure& failure)
        : vf_(vf), file_(file), failure_(failure), geometry_(*vf.step->geometry) {}

    bool Fail(const std::string& what) {
        return FailVariableFile(failure_, vf_.path, what, {vf_.path, file_.Tell(), false});
    }

    bool ReadRecord(std::string& text) {
        return ReadStringRecord(file_, text) || Fail("the file ends inside a record");
    }

    // The values of `count` items of `components` words must be in the file.
    bool Skip(int64_t count) {
        if (!FitsIn(count, 4 * int64_t{vf_.components}, file_.BytesLeft()))
            return Fail("the values run past the end of the file");
        return file_.Seek(4 * count * vf_.components, 1) ? true : Fail("seek failed");
    }

    bool ReadHeader() {
        if (vf_.start > 0 && file_.BytesLeft() < RecordSize) return Fail("the file holds no further time step");
        std::string text;
        if (!ReadRecord(text)) return false;
        // some writers mark a variable file of several steps "C Binary" as they do the geometry
        if (StartsWithIgnoreCase(text, "C Binary") && file_.BytesLeft() >= RecordSize) {
            if (!ReadRecord(text)) return false;
            if (!IsBeginStep(text) && !file_.Seek(-RecordSize, 1)) return Fail("seek failed");
        }
        if (IsBeginStep(text) && !ReadRecord(text)) return false;
        return true;
    }

    // Next record when it is a part record; false at the end of the file or "END TIME STEP".
    bool NextPart(int32_t& number, bool& ok) {
        ok = true;
        if (file_.BytesLeft() < RecordSize) return false;
        std::string text;
        if (!ReadRecord(text)) return ok = false;
        if (IsEndStep(text)) return false;
        if (!ReadPartLine(text, number)) return ok = Fail("expected a \"part\" record");
        return true;
    }

    Ensight6ValueSource* Source(int64_t offset, int64_t count, int32_t c) {
        Ensight6ValueSource* s = NewValueSource(vf_.path);
        if (s == nullptr) return nullptr;
        s->offset = offset;
        s->valueCount = static_cast<int32_t>(count);
        s->dim2 = vf_.components;
        s->dim3 = c + 1;
        s->variable = vf_.firstVariable + 1 + c;
        s->byteOrder = geometry_.byteOrder;
        return s;
    }

    bool Register(int32_t zone, int32_t c, LoadOnDemandVarLoad_pf load, Ensight6ValueSource* s) {
        if (!RegisterValueSource(zone, vf_.firstVariable + 1 + c, load, s)) return Fail("the host refused a registration");
        return true;
    }

    bool RegisterGlobalValues() {
        int64_t offset = file_.Tell();
        int64_t nn = geometry_.nodeCount;
        if (!Skip(nn)) return false;
        int32_t firstZone = 0;
        const auto& parts = geometry_.parts.parts();
        for (size_t i = 0; i < parts.size(); ++i) {
            int32_t zone = vf_.step->zones[i];
            if (zone == 0 || parts[i]->kind != Ensight6Unstructured) continue;
            if (firstZone != 0 && ShareValues(vf_.firstVariable, vf_.components, firstZone, zone)) continue;
            for (int32_t c = 0; c < vf_.components; ++c)
                if (!Register(zone, c, LoadNodeVariableBinary, Source(offset, nn, c))) return false;
            if (firstZone == 0) firstZone = zone;
        }
        return true;
    }

    // After the "block" record: in C binary the components lie interleaved per
    // node or cell (x1 y1 z1 x2 ...), as the same field written as Gold shows.
    bool RegisterBlock(const GeometryPart& part, int32_t zone, bool perElement) {
        std::string text;
        if (!ReadRecord(text)) return false;
        std::string_view rest = text;
        if (!EqualsIgnoreCase(nextToken(rest), "block")) return Fail("expected a \"block\" record");
        int64_t count = perElement ? part.CellCount() : part.NodeCount();
        int64_t offset = file_.Tell();
        if (!Skip(count)) return false;
        if (zone == 0 || count == 0) return true;
        for (int32_t c = 0; c < vf_.components; ++c) {
            Ensight6ValueSource* s = Source(offset, count, c);
            if (s != nullptr) {
                s->dim1 = part.imax;
                s->dim2 = part.jmax;
                s->dim3 = part.kmax;
                s->blockComponents = vf_.components;
                s->blockComponent = c;
            }
            if (!Register(zone, c, perElement ? LoadBlockElementVariableBinary : LoadBlockNodeVariableBinary, s))
                return false;
        }
        return true;
    }

    bool RegisterElementPart(const GeometryPart& part, int32_t zone) {
        PartBlockCursor cursor(part);
        std::vector<LoadBlock> blocks;
        std::string text;
        while (file_.BytesLeft() >= RecordSize) {
            if (!ReadRecord(text)) return false;
            std::string_view rest = text;
            std::string_view token = nextToken(rest);
            if (EqualsIgnoreCase(token, "part") || IsEndStep(text)) {
                if (!file_.Seek(-RecordSize, 1)) return Fail("seek failed");
                break;
            }
            const GeometryElementBlock* block = cursor.Next(ElementTypeFromName(token));
            if (block == nullptr) return Fail("element type not in the geometry part");
            int64_t offset = file_.Tell();
            if (!Skip(block->elementCount)) return false;
            if (block->inCategory) blocks.push_back({block->type, block->elementCount, offset, cursor.firstElement()});
        }
        if (zone == 0 || part.category < CategoryLine || blocks.empty()) return true;
        for (int32_t c = 0; c < vf_.components; ++c) {
            Ensight6ValueSource* s = Source(blocks.front().offset, 0, c);
            if (s != nullptr) s->blocks = blocks;
            if (!Register(zone, c, LoadElementVariableBinary, s)) return false;
        }
        return true;
    }

    const GeometryPart* PartFor(int32_t number, int32_t& zone) {
        int32_t index = vf_.step->PartIndex(number);
        if (index < 0) {
            Fail("part " + std::to_string(number) + " is not in the geometry");
            return nullptr;
        }
        zone = vf_.step->zones[static_cast<size_t>(index)];
        return geometry_.parts.parts()[static_cast<size_t>(index)];
    }

    bool WalkNodeFile() {
        if (!ReadHeader()) return false;
        bool globalValues = true;
        if (file_.BytesLeft() >= RecordSize) {
            // a "part" record (or the step's end) right after the description: no global values
            std::string text;
            if (!ReadRecord(text)) return false;
            int32_t number = 0;
            globalValues = !ReadPartLine(text, number) && !IsEndStep(text);
            if (!file_.Seek(-RecordSize, 1)) return Fail("seek failed");
        }
        if (globalValues && !RegisterGlobalValues()) return false;
        return ForEachPart([&](const GeometryPart& part, int32_t zone) {
            if (part.kind != Ensight6Block) return Fail("per-node values of an unstructured part");
            return RegisterBlock(part, zone, false);
        });
    }

    bool WalkElementFile() {
        if (!ReadHeader()) return false;
        return ForEachPart([&](const GeometryPart& part, int32_t zone) {
            return part.kind == Ensight6Block ? RegisterBlock(part, zone, true) : RegisterElementPart(part, zone);
        });
    }

private:
    // Hands each "part" section of the file, with its zone, to `registerPart`.
    template <class Register>
    bool ForEachPart(Register&& registerPart) {
        int32_t number = 0;
        bool ok = true;
        while (NextPart(number, ok)) {
            int32_t zone = 0;
            const GeometryPart* part = PartFor(number, zone);
            if (part == nullptr || !registerPart(*part, zone)) return false;
        }
        return ok;
    }
    const Ensight6VariableFile& vf_;
    File_a& file_;
    Failure& failure_;
    const Ensight6GeometryFile& geometry_;
};

}  // namespace

bool RegisterNodeVariableLoaders(const Ensight6VariableFile& file, int64_t& next, Failure& failure) {
    return WithVariableFile<BinaryVariableWalker>(file, next, failure,
                                       [](BinaryVariableWalker& walker) { return walker.WalkNodeFile(); });
}

bool RegisterElementVariableLoaders(const Ensight6VariableFile& file, int64_t& next, Failure& failure) {
    return WithVariableFile<BinaryVariableWalker>(file, next, failure,
                                       [](BinaryVariableWalker& walker) { return walker.WalkElementFile(); });
}

}  // namespace quorix
