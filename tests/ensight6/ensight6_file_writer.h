// Builds small EnSight 6 files in memory (ASCII lines or C binary in either
// byte order) and writes them to a temporary directory.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace e6test {

enum class Encoding { Ascii, Little, Big };

class E6Bytes {
public:
    explicit E6Bytes(Encoding encoding) : encoding_(encoding) {}

    E6Bytes& Text(const std::string& s) {
        if (encoding_ == Encoding::Ascii) {
            data_ += s + "\n";
        } else {
            std::string record = s.substr(0, 80);
            record.resize(80, '\0');
            data_ += record;
        }
        return *this;
    }
    E6Bytes& Ints(const std::vector<int32_t>& values, size_t perLine = 1) {
        for (size_t i = 0; i < values.size(); ++i) {
            if (encoding_ == Encoding::Ascii) {
                char field[16];
                std::snprintf(field, sizeof field, "%8d", values[i]);
                data_ += field;
                if ((i + 1) % perLine == 0 || i + 1 == values.size()) data_ += "\n";
            } else {
                Word(&values[i]);
            }
        }
        return *this;
    }
    E6Bytes& Floats(const std::vector<float>& values, size_t perLine = 6) {
        for (size_t i = 0; i < values.size(); ++i) {
            if (encoding_ == Encoding::Ascii) {
                char field[32];
                std::snprintf(field, sizeof field, "%12.5e", static_cast<double>(values[i]));
                data_ += field;
                if ((i + 1) % perLine == 0 || i + 1 == values.size()) data_ += "\n";
            } else {
                Word(&values[i]);
            }
        }
        return *this;
    }
    E6Bytes& Raw(const std::string& s) {
        data_ += s;
        return *this;
    }
    const std::string& data() const { return data_; }
    bool binary() const { return encoding_ != Encoding::Ascii; }

private:
    void Word(const void* value) {
        char bytes[4];
        std::memcpy(bytes, value, 4);
        uint32_t probe = 1;
        bool hostLittle = *reinterpret_cast<unsigned char*>(&probe) == 1;
        if (hostLittle != (encoding_ == Encoding::Little)) {
            std::swap(bytes[0], bytes[3]);
            std::swap(bytes[1], bytes[2]);
        }
        data_.append(bytes, 4);
    }

    Encoding encoding_;
    std::string data_;
};

// Header through the node list: nodes at (i, 0, 0), ids when given.
inline E6Bytes GeometryHeader(Encoding encoding, const std::vector<int32_t>& nodeIds, int32_t nodeCount,
                              const std::string& title = "title") {
    E6Bytes b(encoding);
    if (encoding != Encoding::Ascii) b.Text("C Binary");
    b.Text(title).Text("second line").Text(nodeIds.empty() ? "node id off" : "node id given").Text("element id off");
    b.Text("coordinates").Ints({nodeCount});
    if (encoding == Encoding::Ascii) {
        for (int32_t i = 0; i < nodeCount; ++i) {
            char line[64];
            if (!nodeIds.empty())
                std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", nodeIds[static_cast<size_t>(i)],
                              static_cast<double>(i), -1.0, 0.0);
            else
                std::snprintf(line, sizeof line, "%12.5e%12.5e%12.5e\n", static_cast<double>(i), -1.0, 0.0);
            b.Raw(line);
        }
    } else {
        if (!nodeIds.empty()) b.Ints(nodeIds);
        std::vector<float> xyz;
        for (int32_t i = 0; i < nodeCount; ++i) xyz.insert(xyz.end(), {static_cast<float>(i), -1.0f, 0.0f});
        b.Floats(xyz);
    }
    return b;
}

inline E6Bytes& ElementBlock(E6Bytes& b, const std::string& type, const std::vector<std::vector<int32_t>>& elements) {
    b.Text(type).Ints({static_cast<int32_t>(elements.size())});
    for (const auto& e : elements) b.Ints(e, e.size());
    return b;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorix_e6_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& name, const std::string& data) const {
        std::string path = (std::filesystem::path(path_) / name).string();
        std::ofstream(path, std::ios::binary) << data;
        return path;
    }

private:
    std::string path_;
};

inline const Encoding kAllEncodings[] = {Encoding::Ascii, Encoding::Little, Encoding::Big};

}  // namespace e6test
