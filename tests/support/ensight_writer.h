// Builds EnSight Gold and EnSight 6 files in memory for tests: ASCII, C binary
// little- and big-endian from one sequence of calls, so every case runs in all
// three.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files.h"

namespace quorix::test {

enum class Encoding { Ascii, BinaryLE, BinaryBE };

inline const char* EncodingName(Encoding e) {
    switch (e) {
        case Encoding::Ascii: return "ascii";
        case Encoding::BinaryLE: return "binary_le";
        case Encoding::BinaryBE: return "binary_be";
    }
    return "?";
}

// What the ASCII lines look like: Gold writes integers in 10-character fields
// and reals one to a line; EnSight 6 integers in 8-character fields and reals
// six to a line. Binary files are alike.
enum class FileKind { Gold, Ensight6 };

class EnsightWriter {
public:
    explicit EnsightWriter(Encoding encoding, FileKind kind = FileKind::Gold) : encoding_(encoding), kind_(kind) {}

    bool binary() const { return encoding_ != Encoding::Ascii; }
    const std::string& bytes() const { return bytes_; }
    int64_t size() const { return static_cast<int64_t>(bytes_.size()); }

    // 80 bytes NUL-padded (binary) or one line.
    EnsightWriter& String(std::string_view text) {
        if (binary()) {
            std::string record(text.substr(0, 80));
            record.resize(80, '\0');
            bytes_ += record;
        } else {
            bytes_.append(text);
            bytes_ += '\n';
        }
        return *this;
    }

    EnsightWriter& Int(int32_t value) { return Ints({value}); }
    EnsightWriter& Float(float value) { return Floats({value}); }

    // ASCII: `perLine` values to a line in fields of the file kind's width.
    EnsightWriter& Ints(const std::vector<int32_t>& values, int perLine = 1) { return Values(values, perLine); }

    // ASCII: `perLine` values to a line in 12-character fields; 0, as many as
    // the file kind writes.
    EnsightWriter& Floats(const std::vector<float>& values, int perLine = 0) {
        return Values(values, perLine > 0 ? perLine : (kind_ == FileKind::Ensight6 ? 6 : 1));
    }

    EnsightWriter& Raw(std::string_view data) {
        bytes_.append(data);
        return *this;
    }

    // Format line (binary only), two descriptions, node and element id lines.
    EnsightWriter& GoldHeader(std::string_view nodeIds = "off", std::string_view elementIds = "off") {
        if (binary()) String("C Binary");
        String("description 1").String("description 2");
        String("node id " + std::string(nodeIds));
        return String("element id " + std::string(elementIds));
    }

    EnsightWriter& Part(int32_t number, std::string_view description) { return VarPart(number).String(description); }
    // "part" and its number, as variable files have them.
    EnsightWriter& VarPart(int32_t number) { return String("part").Int(number); }

    // "coordinates", count, ids when given, then x, y, z one per line.
    EnsightWriter& Coordinates(const std::vector<float>& x, const std::vector<float>& y,
                               const std::vector<float>& z, const std::vector<int32_t>& ids = {}) {
        String("coordinates").Int(static_cast<int32_t>(x.size()));
        if (!ids.empty()) Ints(ids);
        return Floats(x).Floats(y).Floats(z);
    }

    // A classic element section: type name, count, ids when given, one element per line.
    EnsightWriter& Elements(std::string_view type, const std::vector<std::vector<int32_t>>& elements,
                            const std::vector<int32_t>& ids = {}) {
        String(type).Int(static_cast<int32_t>(elements.size()));
        if (!ids.empty()) Ints(ids);
        for (const auto& element : elements) Ints(element, static_cast<int>(element.size()));
        return *this;
    }

    // EnSight 6 geometry from the format line (binary) through the node list:
    // node i at (i, -1, 0), ids when given; ASCII writes a node to a line.
    EnsightWriter& Ensight6Header(const std::vector<int32_t>& nodeIds, int32_t nodeCount,
                                  std::string_view title = "title") {
        if (binary()) String("C Binary");
        String(title).String("second line");
        String(nodeIds.empty() ? "node id off" : "node id given").String("element id off");
        String("coordinates").Int(nodeCount);
        if (binary()) {
            if (!nodeIds.empty()) Ints(nodeIds);
            std::vector<float> xyz;
            for (int32_t i = 0; i < nodeCount; ++i) xyz.insert(xyz.end(), {static_cast<float>(i), -1.0f, 0.0f});
            return Floats(xyz);
        }
        for (int32_t i = 0; i < nodeCount; ++i) {
            if (!nodeIds.empty()) bytes_ += Field(nodeIds[static_cast<size_t>(i)]);
            Floats({static_cast<float>(i), -1.0f, 0.0f}, 3);
        }
        return *this;
    }

    // "nsided": the sizes (one per line), then each polygon's nodes on one line.
    EnsightWriter& Nsided(const std::vector<std::vector<int32_t>>& polygons) {
        String("nsided").Int(static_cast<int32_t>(polygons.size()));
        for (const auto& polygon : polygons) Int(static_cast<int32_t>(polygon.size()));
        for (const auto& polygon : polygons) Ints(polygon, static_cast<int>(polygon.size()));
        return *this;
    }

    // "nfaced": faces per element, nodes per face (one per line), then each face's nodes on one line.
    EnsightWriter& Nfaced(const std::vector<std::vector<std::vector<int32_t>>>& elements) {
        String("nfaced").Int(static_cast<int32_t>(elements.size()));
        for (const auto& faces : elements) Int(static_cast<int32_t>(faces.size()));
        for (const auto& faces : elements)
            for (const auto& face : faces) Int(static_cast<int32_t>(face.size()));
        for (const auto& faces : elements)
            for (const auto& face : faces) Ints(face, static_cast<int>(face.size()));
        return *this;
    }

    // n nodes at (i, 0, 0).
    static std::vector<float> Ramp(size_t n, float start = 0.0f) {
        std::vector<float> values(n);
        for (size_t i = 0; i < n; ++i) values[i] = start + static_cast<float>(i);
        return values;
    }

    void Save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    }

private:
    template <class T>
    EnsightWriter& Values(const std::vector<T>& values, int perLine) {
        if (binary()) {
            for (T v : values) bytes_ += Word(&v);
            return *this;
        }
        for (size_t i = 0; i < values.size(); ++i) {
            bytes_ += Field(values[i]);
            if ((i + 1) % static_cast<size_t>(perLine) == 0 || i + 1 == values.size()) bytes_ += '\n';
        }
        return *this;
    }

    // One ASCII field.
    std::string Field(int32_t value) const {
        char field[32];
        std::snprintf(field, sizeof field, kind_ == FileKind::Ensight6 ? "%8d" : "%10d", value);
        return field;
    }
    std::string Field(float value) const {
        char field[32];
        std::snprintf(field, sizeof field, "%12.5e", static_cast<double>(value));
        return field;
    }

    std::string Word(const void* value) const {
        unsigned char b[4];
        std::memcpy(b, value, 4);
        uint16_t probe = 1;
        bool hostLittle = *reinterpret_cast<unsigned char*>(&probe) == 1;
        bool wantLittle = encoding_ == Encoding::BinaryLE;
        if (hostLittle != wantLittle) {
            std::swap(b[0], b[3]);
            std::swap(b[1], b[2]);
        }
        return std::string(reinterpret_cast<const char*>(b), 4);
    }

    Encoding encoding_;
    FileKind kind_;
    std::string bytes_;
};

}  // namespace quorix::test
