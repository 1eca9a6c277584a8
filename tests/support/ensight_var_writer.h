// Variable-file pieces on top of EnsightWriter: a part header without a
// description, and value arrays that report where they start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/ensight_writer.h"

namespace quorix::test {

// "part" and its number, as variable files have them.
inline EnsightWriter& VarPart(EnsightWriter& writer, int32_t number) { return writer.String("part").Int(number); }

// `count` reals from `first` rising by 0.5, `perLine` to an ASCII line;
// returns the position of the first.
inline int64_t Values(EnsightWriter& writer, int64_t count, float first = 1.5f, int perLine = 1) {
    const int64_t start = writer.size();
    std::vector<float> values(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) values[static_cast<size_t>(i)] = first + 0.5f * static_cast<float>(i);
    if (count > 0) writer.Floats(values, perLine);
    return start;
}

// The writer's bytes less the last `drop`, saved under a fresh path.
inline std::string SaveTruncated(const EnsightWriter& writer, int64_t drop, std::string_view name) {
    EnsightWriter copy(writer.encoding());
    copy.Raw(std::string_view(writer.bytes()).substr(0, writer.bytes().size() - static_cast<size_t>(drop)));
    const std::string path = TempPath(name);
    copy.Save(path);
    return path;
}

inline std::string Saved(const EnsightWriter& writer, std::string_view name) { return SaveTruncated(writer, 0, name); }

}  // namespace quorix::test
