// A slow loader kept deliberately plain, written from the loading rules rather
// than from the add-on's code: the whole file in memory, one value at a time,
// no buffers, no chunks, no shared helpers. The differential fuzz target holds
// the add-on's deferred loaders against it.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace reference {

// Fortran binary: big-endian words inside records framed by their byte length.
enum class Encoding { Ascii, LittleEndian, BigEndian, FortranBigEndian };

// The element types by their codes, with what the loaders need of each.
enum Type : int32_t {
    Point, Bar2, Bar3, Tria3, Tria6, Quad4, Quad8, Tetra4, Tetra10, Pyramid5, Pyramid13,
    Penta6, Penta15, Hexa8, Hexa20, Nsided, Nfaced, TypeCount
};

inline int32_t NodesOf(int32_t type) {
    static const int32_t nodes[TypeCount] = {1, 2, 3, 3, 6, 4, 8, 4, 10, 5, 13, 6, 15, 8, 20, 0, 0};
    return type >= 0 && type < TypeCount ? nodes[type] : 0;
}

// 1 point, 2 line, 3 surface, 4 volume.
inline int32_t CategoryOf(int32_t type) {
    if (type == Point) return 1;
    if (type == Bar2 || type == Bar3) return 2;
    if (type == Tria3 || type == Tria6 || type == Quad4 || type == Quad8 || type == Nsided) return 3;
    return type >= 0 && type < TypeCount ? 4 : 0;
}

// Types a node-map zone cannot hold: the part becomes a polygon or polyhedron zone.
inline bool NeedsFaceMap(int32_t type) {
    switch (type) {
        case Tria6: case Quad8: case Nsided: case Tetra10: case Pyramid13: case Penta15: case Hexa20: case Nfaced:
            return true;
        default:
            return false;
    }
}

// ---- numbers of ASCII lines ----

enum class Parsed { Whole, NotWhole, TooLarge };

inline bool Blank(char c) { return c == ' ' || c == '\t'; }
inline bool Digit(char c) { return c >= '0' && c <= '9'; }
inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline size_t FirstNonBlank(const std::string& text, size_t from = 0) {
    while (from < text.size() && Blank(text[from])) ++from;
    return from;
}

inline bool OnlyBlanks(const std::string& text, size_t from) { return FirstNonBlank(text, from) == text.size(); }

// [blanks] [+|-] digits [blanks]; all blanks is 0.
inline Parsed ParseInt(const std::string& text, int32_t& value) {
    value = 0;
    size_t i = FirstNonBlank(text);
    if (i == text.size()) return Parsed::Whole;
    std::string number;
    if (text[i] == '+' || text[i] == '-') number += text[i++];
    const size_t digitsFrom = i;
    while (i < text.size() && Digit(text[i])) number += text[i++];
    if (i == digitsFrom) return Parsed::NotWhole;
    errno = 0;
    const long long wide = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE || wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max())
        return Parsed::TooLarge;
    value = static_cast<int32_t>(wide);
    return OnlyBlanks(text, i) ? Parsed::Whole : Parsed::NotWhole;
}

// Length of a word at `at`, in any letter case; 0 when absent.
inline size_t WordAt(const std::string& text, size_t at, const char* word) {
    const size_t n = std::strlen(word);
    if (text.size() - at < n) return 0;
    for (size_t k = 0; k < n; ++k)
        if (Lower(text[at + k]) != word[k]) return 0;
    return n;
}

// [blanks] [+|-] real [blanks], a real being decimal digits with an optional
// fraction and exponent, or inf, infinity, nan (nan(chars) too) as C writes
// them.
inline Parsed ParseReal(const std::string& text, float& value) {
    value = 0.0f;
    size_t i = FirstNonBlank(text);
    if (i == text.size()) return Parsed::Whole;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    if (size_t n = WordAt(text, i, "infinity"); n > 0 || (n = WordAt(text, i, "inf")) > 0) {
        value = negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
        return OnlyBlanks(text, i + n) ? Parsed::Whole : Parsed::NotWhole;
    }
    if (WordAt(text, i, "nan") > 0) {
        i += 3;
        if (i < text.size() && text[i] == '(') {
            size_t close = i + 1;
            while (close < text.size() && (Digit(text[close]) || (Lower(text[close]) >= 'a' && Lower(text[close]) <= 'z') ||
                                           text[close] == '_'))
                ++close;
            if (close < text.size() && text[close] == ')') i = close + 1;
        }
        value = std::copysign(std::numeric_limits<float>::quiet_NaN(), negative ? -1.0f : 1.0f);
        return OnlyBlanks(text, i) ? Parsed::Whole : Parsed::NotWhole;
    }
    std::string number = negative ? "-" : "";
    size_t digits = 0;
    while (i < text.size() && Digit(text[i])) number += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && Digit(text[i])) number += text[i++], ++digits;
    }
    if (digits == 0) return Parsed::NotWhole;
    // An exponent counts only when it has digits.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && Digit(text[j])) {
            while (j < text.size() && Digit(text[j])) ++j;
            number += text.substr(i, j - i);
            i = j;
        }
    }
    // Out of range: beyond a double's range either way (too small to be told
    // from zero counts too), or too large for a float once rounded.
    errno = 0;
    const double wide = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE && (wide == 0.0 || std::isinf(wide))) return Parsed::TooLarge;
    const float rounded = std::strtof(number.c_str(), nullptr);
    if (std::isinf(rounded)) return Parsed::TooLarge;
    value = rounded;
    return OnlyBlanks(text, i) ? Parsed::Whole : Parsed::NotWhole;
}

inline Parsed ParseValue(const std::string& text, int32_t& value) { return ParseInt(text, value); }
inline Parsed ParseValue(const std::string& text, float& value) { return ParseReal(text, value); }

// A token of Fortran's letterless exponent, [+|-] digits and dots, then + or -
// and digits ("0.58830-318"), is the number with an "e" before that sign.
inline Parsed ParseToken(const std::string& token, int32_t& value) { return ParseInt(token, value); }
inline Parsed ParseToken(const std::string& token, float& value) {
    const Parsed plain = ParseReal(token, value);
    if (plain != Parsed::NotWhole || token.size() > 40) return plain;
    const size_t mantissa = token.find_first_not_of("0123456789.", token[0] == '+' || token[0] == '-' ? 1 : 0);
    const bool fortran = mantissa != std::string::npos && mantissa > (token[0] == '+' || token[0] == '-' ? 1u : 0u) &&
                         (token[mantissa] == '+' || token[mantissa] == '-') && mantissa + 1 < token.size() &&
                         token.find_first_not_of("0123456789", mantissa + 1) == std::string::npos;
    return fortran ? ParseReal(token.substr(0, mantissa) + "e" + token.substr(mantissa), value) : plain;
}

// The values of one line: a lone token is one number; otherwise fixed fields
// of `width` from the line's first column (a blank field is 0), and when a
// field holds something else than one number, blank-separated tokens. False
// when the line does not read.
template <class T>
bool LineValues(std::string line, size_t width, std::vector<T>& values) {
    values.clear();
    const size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
    while (!line.empty() && Blank(line.back())) line.pop_back();
    if (line.empty()) return true;

    std::vector<std::string> tokens;
    for (size_t i = 0; i < line.size();) {
        if (Blank(line[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < line.size() && !Blank(line[j])) ++j;
        tokens.push_back(line.substr(i, j - i));
        i = j;
    }
    T value{};
    if (tokens.size() == 1) {
        const Parsed whole = ParseValue(tokens[0], value);
        if (whole == Parsed::TooLarge) return false;
        if (whole == Parsed::Whole) {
            values.push_back(value);
            return true;
        }
    }
    bool fieldsRead = true;
    for (size_t at = 0; at < line.size() && fieldsRead; at += width) {
        const Parsed field = ParseValue(line.substr(at, width), value);
        if (field == Parsed::TooLarge) return false;
        fieldsRead = field == Parsed::Whole;
        if (fieldsRead) values.push_back(value);
    }
    if (fieldsRead) return true;
    values.clear();
    for (const std::string& token : tokens) {
        if (ParseToken(token, value) != Parsed::Whole) return false;
        values.push_back(value);
    }
    return true;
}

// ---- the file ----

// The file's bytes and a read position; every read says whether it worked.
class File {
public:
    File(std::string bytes, Encoding encoding) : bytes_(std::move(bytes)), encoding_(encoding) {}

    // A position inside the file or at its end; in Fortran, where a record begins.
    bool SeekTo(int64_t offset) {
        if (offset < 0 || offset > static_cast<int64_t>(bytes_.size())) return false;
        at_ = static_cast<size_t>(offset);
        recordLeft_ = 0;
        return true;
    }
    // `count` more values appended to `out`.
    bool Ints(int64_t count, std::vector<int32_t>& out) { return Values(count, 10, out); }
    bool Reals(int64_t count, std::vector<float>& out) { return Values(count, 12, out); }

private:
    bool Word(uint32_t& word) {
        if (bytes_.size() - at_ < 4) return false;
        const auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes_[at_ + k])); };
        if (encoding_ == Encoding::LittleEndian) {
            word = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        } else {
            word = byte(3) | byte(2) << 8 | byte(1) << 16 | byte(0) << 24;
        }
        at_ += 4;
        return true;
    }

    // The next word of the records from here: a record opens with its length
    // (a whole number of words, the record and its closing length within the
    // file; empty records hold nothing) and closes with the same length.
    bool RecordWord(uint32_t& word) {
        while (recordLeft_ == 0) {
            uint32_t length = 0;
            if (!Word(length) || length % 4 != 0 || length > 0x7fffffffu || bytes_.size() - at_ < length + size_t{4})
                return false;
            recordLength_ = length;
            recordLeft_ = length;
            if (length == 0 && !CloseRecord()) return false;
        }
        if (!Word(word)) return false;
        recordLeft_ -= 4;
        return recordLeft_ > 0 || CloseRecord();
    }

    bool CloseRecord() {
        uint32_t length = 0;
        return Word(length) && length == recordLength_;
    }

    bool Line(std::string& line) {
        if (at_ >= bytes_.size()) return false;
        size_t end = bytes_.find('\n', at_);
        end = end == std::string::npos ? bytes_.size() : end + 1;
        line = bytes_.substr(at_, end - at_);
        at_ = end;
        return true;
    }

    // Binary: one word per value. ASCII: whole lines until exactly `count`
    // values came; a line carrying more than are still wanted fails.
    template <class T>
    bool Values(int64_t count, size_t width, std::vector<T>& out) {
        if (count < 0) return false;
        if (encoding_ != Encoding::Ascii) {
            for (int64_t k = 0; k < count; ++k) {
                uint32_t word = 0;
                if (!(encoding_ == Encoding::FortranBigEndian ? RecordWord(word) : Word(word))) return false;
                T value;
                static_assert(sizeof value == sizeof word);
                std::memcpy(&value, &word, sizeof value);
                out.push_back(value);
            }
            return true;
        }
        int64_t got = 0;
        std::string line;
        std::vector<T> values;
        while (got < count) {
            if (!Line(line) || !LineValues(line, width, values)) return false;
            if (static_cast<int64_t>(values.size()) > count - got) return false;
            out.insert(out.end(), values.begin(), values.end());
            got += static_cast<int64_t>(values.size());
        }
        return true;
    }

    std::string bytes_;
    Encoding encoding_;
    size_t at_ = 0;
    uint32_t recordLength_ = 0;
    size_t recordLeft_ = 0;
};

// `count` values from `offset`; nothing is read (and the position does not
// matter) when there are none.
inline bool ReadReals(File& file, int64_t offset, int64_t count, std::vector<float>& out) {
    return count < 1 || (file.SeekTo(offset) && file.Reals(count, out));
}
inline bool ReadInts(File& file, int64_t offset, int64_t count, std::vector<int32_t>& out) {
    return count < 1 || (file.SeekTo(offset) && file.Ints(count, out));
}

// Values read in pieces of at most `piece` (ASCII: each piece whole lines).
// The position must lie in the file even when nothing is read.
template <class T>
bool ReadInPieces(File& file, int64_t offset, int64_t count, int64_t piece, std::vector<T>& out) {
    if (!file.SeekTo(offset) || piece < 1) return false;
    for (int64_t done = 0; done < count; done += piece) {
        const int64_t n = count - done < piece ? count - done : piece;
        bool read = false;
        if constexpr (std::is_same_v<T, float>) read = file.Reals(n, out);
        else read = file.Ints(n, out);
        if (!read) return false;
    }
    return true;
}

// ---- parts, zones and their connectivity ----

struct Block {
    int32_t type = 0;
    int64_t count = 0;
    int64_t offset = 0;
    int64_t faces = 0;  // nfaced: faces of all its elements
    int64_t nodes = 0;  // nsided: nodes of all polygons; nfaced: nodes of all faces
};

struct Part {
    int32_t nodeCount = 0;
    std::vector<Block> blocks;  // file order
};

struct Zone {
    bool made = false;
    int32_t category = 1;
    bool faceMap = false;
    int32_t width = 0;          // node maps: entries per element
    int64_t elements = 0;
    std::vector<Block> order;   // zone element order: ascending type, file order within a type
    std::vector<int64_t> first; // zone element of each ordered block's first element
};

inline Zone ZoneOf(const Part& part) {
    Zone zone;
    for (const Block& block : part.blocks)
        if (CategoryOf(block.type) > zone.category) zone.category = CategoryOf(block.type);
    int32_t widest = 0;
    for (int32_t type = 0; type < TypeCount; ++type) {
        for (const Block& block : part.blocks) {
            if (block.type != type || CategoryOf(type) != zone.category) continue;
            zone.order.push_back(block);
            zone.first.push_back(zone.elements);
            zone.elements += type == Bar3 ? 2 * block.count : block.count;
            if (NeedsFaceMap(type)) zone.faceMap = true;
            if (NodesOf(type) > widest) widest = NodesOf(type);
        }
    }
    if (zone.category == 2) zone.width = 2;
    if (zone.category == 3 && !zone.faceMap) zone.width = widest;
    if (zone.category == 4 && !zone.faceMap) zone.width = widest == 4 ? 4 : 8;
    zone.made = part.nodeCount >= 1 && (zone.category == 1 || zone.elements >= 1);
    return zone;
}

// Node numbers of the element as read (1-based picks) that a zone entry takes.
inline std::vector<int32_t> EntryPicks(int32_t category, int32_t width, int32_t type) {
    if (category == 2) return type == Bar2 ? std::vector<int32_t>{1, 2} : std::vector<int32_t>{1, 3, 3, 2};
    if (NodesOf(type) == width) {
        std::vector<int32_t> same;
        for (int32_t k = 1; k <= width; ++k) same.push_back(k);
        return same;
    }
    if (type == Tria3) return {1, 2, 3, 3};
    if (type == Tetra4) return {1, 2, 3, 3, 4, 4, 4, 4};
    if (type == Pyramid5) return {1, 2, 3, 4, 5, 5, 5, 5};
    if (type == Penta6) return {1, 2, 3, 3, 4, 5, 6, 6};
    return {};
}

inline bool InRange(int32_t node, int32_t nodeCount) { return node >= 1 && node <= nodeCount; }

// `count` node numbers, each in 1..nodeCount.
inline bool ReadNodes(File& file, int64_t count, int32_t nodeCount, std::vector<int32_t>& nodes) {
    const size_t from = nodes.size();
    if (!file.Ints(count, nodes)) return false;
    for (size_t k = from; k < nodes.size(); ++k)
        if (!InRange(nodes[k], nodeCount)) return false;
    return true;
}

// `count` sizes, each at least 1, adding up to `total`.
inline bool ReadSizes(File& file, int64_t count, int64_t total, std::vector<int32_t>& sizes) {
    const size_t from = sizes.size();
    if (!file.Ints(count, sizes)) return false;
    int64_t sum = 0;
    for (size_t k = from; k < sizes.size(); ++k) {
        if (sizes[k] < 1) return false;
        sum += sizes[k];
    }
    return sum == total;
}

// Node map entries of a line, triangle, quadrilateral, tetrahedron or brick
// zone. A block's connectivity is one read, so its lines need not hold one
// element each.
inline bool NodeMap(File& file, const Part& part, const Zone& zone, std::vector<int32_t>& entries) {
    for (const Block& block : zone.order) {
        const std::vector<int32_t> picks = EntryPicks(zone.category, zone.width, block.type);
        const int32_t n = NodesOf(block.type);
        std::vector<int32_t> nodes;
        if (picks.empty() || !file.SeekTo(block.offset) || !ReadNodes(file, block.count * n, part.nodeCount, nodes))
            return false;
        for (int64_t e = 0; e < block.count; ++e) {
            for (int32_t pick : picks) entries.push_back(nodes[static_cast<size_t>(e * n + pick - 1)]);
        }
    }
    return true;
}

struct FaceMapArrays {
    std::vector<int32_t> elementSizes;  // polygons: nodes; polyhedra: faces
    std::vector<int32_t> faceSizes;     // polyhedra: nodes per face
    std::vector<int32_t> nodes;
};

// Polygon boundary of a surface element; face lists of a volume element.
inline std::vector<int32_t> PolygonOf(int32_t type) {
    switch (type) {
        case Tria3: return {1, 2, 3};
        case Tria6: return {1, 4, 2, 5, 3, 6};
        case Quad4: return {1, 2, 3, 4};
        case Quad8: return {1, 5, 2, 6, 3, 7, 4, 8};
        default: return {};
    }
}

inline std::vector<std::vector<int32_t>> FacesOf(int32_t type) {
    switch (type) {
        case Tetra4: return {{1, 3, 2}, {2, 3, 4}, {3, 1, 4}, {1, 2, 4}};
        case Tetra10: return {{1, 7, 3, 6, 2, 5}, {2, 6, 3, 10, 4, 9}, {3, 7, 1, 8, 4, 10}, {1, 5, 2, 9, 4, 8}};
        case Pyramid5: return {{1, 4, 3, 2}, {1, 2, 5}, {2, 3, 5}, {3, 4, 5}, {4, 1, 5}};
        case Pyramid13:
            return {{1, 9, 4, 8, 3, 7, 2, 6}, {1, 6, 2, 11, 5, 10}, {2, 7, 3, 12, 5, 11}, {3, 8, 4, 13, 5, 12},
                    {4, 9, 1, 10, 5, 13}};
        case Penta6: return {{1, 3, 2}, {4, 5, 6}, {1, 2, 5, 4}, {2, 3, 6, 5}, {3, 1, 4, 6}};
        case Penta15:
            return {{1, 9, 3, 8, 2, 7}, {4, 10, 5, 11, 6, 12}, {1, 7, 2, 14, 5, 10, 4, 13}, {2, 8, 3, 15, 6, 11, 5, 14},
                    {3, 9, 1, 13, 4, 12, 6, 15}};
        case Hexa8:
            return {{1, 4, 3, 2}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 4, 8, 7}, {4, 1, 5, 8}, {5, 6, 7, 8}};
        case Hexa20:
            return {{1, 12, 4, 11, 3, 10, 2, 9}, {1, 9, 2, 18, 6, 13, 5, 17}, {2, 10, 3, 19, 7, 14, 6, 18},
                    {3, 11, 4, 20, 8, 15, 7, 19}, {4, 12, 1, 17, 5, 16, 8, 20}, {5, 13, 6, 14, 7, 15, 8, 16}};
        default: return {};
    }
}

inline bool FaceMap(File& file, const Part& part, const Zone& zone, FaceMapArrays& out) {
    const bool polyhedra = zone.category == 4;
    for (const Block& block : zone.order) {
        if (!file.SeekTo(block.offset)) return false;
        if (block.type == Nsided) {
            if (!ReadSizes(file, block.count, block.nodes, out.elementSizes) ||
                !ReadNodes(file, block.nodes, part.nodeCount, out.nodes))
                return false;
            continue;
        }
        if (block.type == Nfaced) {
            if (!ReadSizes(file, block.count, block.faces, out.elementSizes) ||
                !ReadSizes(file, block.faces, block.nodes, out.faceSizes) ||
                !ReadNodes(file, block.nodes, part.nodeCount, out.nodes))
                return false;
            continue;
        }
        const int64_t n = NodesOf(block.type);
        std::vector<int32_t> nodes;
        if (!ReadNodes(file, block.count * n, part.nodeCount, nodes)) return false;
        for (int64_t e = 0; e < block.count; ++e) {
            const auto node = [&](int32_t pick) { return nodes[static_cast<size_t>(e * n + pick - 1)]; };
            if (!polyhedra) {
                const std::vector<int32_t> boundary = PolygonOf(block.type);
                out.elementSizes.push_back(static_cast<int32_t>(boundary.size()));
                for (int32_t pick : boundary) out.nodes.push_back(node(pick));
                continue;
            }
            const std::vector<std::vector<int32_t>> faces = FacesOf(block.type);
            out.elementSizes.push_back(static_cast<int32_t>(faces.size()));
            for (const std::vector<int32_t>& face : faces) {
                out.faceSizes.push_back(static_cast<int32_t>(face.size()));
                for (int32_t pick : face) out.nodes.push_back(node(pick));
            }
        }
    }
    return true;
}

// One section of a per-element variable file: values of the k-th block of its type.
// "undef": a marker real at `formOffset`; a value equal to it is undefined (NaN).
// "partial": `listed` 1-based indices at `formOffset`, then `listed` values;
// every position not listed is undefined.
enum class Form { Plain, Undef, Partial };

struct Section {
    int32_t type = 0;  // outside 0..16: not an element section
    bool present = false;
    int64_t count = 0;
    int64_t offset = 0;
    Form form = Form::Plain;
    int64_t formOffset = 0;
    int64_t listed = 0;
};

// The `count` values of one section by position, undefined ones NaN.
inline bool SectionValues(File& file, const Section& section, std::vector<float>& values) {
    const float undefined = std::numeric_limits<float>::quiet_NaN();
    values.clear();
    if (section.form == Form::Plain) return ReadReals(file, section.offset, section.count, values);
    if (section.form == Form::Undef) {
        std::vector<float> marker;
        if (!ReadReals(file, section.formOffset, 1, marker) || !ReadReals(file, section.offset, section.count, values))
            return false;
        for (float& value : values)
            if (value == marker[0]) value = undefined;
        return true;
    }
    if (section.listed < 0 || section.listed > section.count) return false;
    std::vector<int32_t> indices;
    std::vector<float> listed;
    if (!ReadInts(file, section.formOffset, section.listed, indices) ||
        !ReadReals(file, section.offset, section.listed, listed))
        return false;
    values.assign(static_cast<size_t>(section.count), undefined);
    for (size_t k = 0; k < indices.size(); ++k) {
        if (indices[k] < 1 || indices[k] > section.count) return false;
        values[static_cast<size_t>(indices[k] - 1)] = listed[k];
    }
    return true;
}

// Cell values by zone element (untouched elements stay 0); `placed` tells
// whether any section found its block.
inline bool CellValues(File& file, const Zone& zone, const std::vector<Section>& sections, bool& placed,
                       std::vector<float>& values) {
    placed = false;
    values.assign(static_cast<size_t>(zone.elements), 0.0f);
    int64_t seen[TypeCount] = {};
    struct Place {
        int64_t first;
        Section section;
        bool twice;
    };
    std::vector<Place> places;
    for (const Section& section : sections) {
        if (section.type < 0 || section.type >= TypeCount) continue;
        const int64_t k = seen[section.type]++;
        int64_t match = -1;
        for (size_t b = 0, same = 0; b < zone.order.size() && match < 0; ++b) {
            if (zone.order[b].type != section.type) continue;
            if (static_cast<int64_t>(same++) == k) match = static_cast<int64_t>(b);
        }
        if (!section.present || match < 0 || section.count < 1 ||
            zone.order[static_cast<size_t>(match)].count != section.count)
            continue;
        places.push_back({zone.first[static_cast<size_t>(match)], section, section.type == Bar3});
    }
    placed = !places.empty();
    for (const Place& place : places) {
        std::vector<float> read;
        if (!SectionValues(file, place.section, read)) return false;
        for (int64_t v = 0; v < place.section.count; ++v) {
            const float value = read[static_cast<size_t>(v)];
            if (place.twice) {
                values[static_cast<size_t>(place.first + 2 * v)] = value;
                values[static_cast<size_t>(place.first + 2 * v + 1)] = value;
            } else {
                values[static_cast<size_t>(place.first + v)] = value;
            }
        }
    }
    return true;
}

}  // namespace reference
