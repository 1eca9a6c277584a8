#pragma once
// Case files written to a fresh directory and read back through
// `zelhost case --json`; values of the record picked by a dotted path.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace casetest {

namespace fs = std::filesystem;

using quorix::test::TempDir;

inline e2e::RunResult ReadCase(const std::string& casePath) { return e2e::RunZelhost({"case", casePath, "--json"}); }

// Compact JSON with the numbers as written, for comparing subtrees as text;
// members named `skip` (at any depth) left out.
inline std::string Compact(const e2e::Json& value, const std::string& skip = "") {
    using Kind = e2e::Json::Kind;
    std::string out;
    switch (value.kind) {
        case Kind::Null:
            return "null";
        case Kind::Bool:
            return value.boolean ? "true" : "false";
        case Kind::Number:
            return value.text;
        case Kind::String:
            out = "\"";
            for (char c : value.text) {
                if (c == '"' || c == '\\') out += '\\';
                out += c;
            }
            return out + "\"";
        case Kind::Array:
            out = "[";
            for (size_t i = 0; i < value.items.size(); ++i) out += (i > 0 ? "," : "") + Compact(value.items[i], skip);
            return out + "]";
        case Kind::Object:
            out = "{";
            for (const auto& [key, member] : value.members) {
                if (key != skip) out += (out.size() > 1 ? ",\"" : "\"") + key + "\":" + Compact(member, skip);
            }
            return out + "}";
    }
    return out;
}

// "timeSets.0.timeValues"; a last component "paths" lists the "path" of every
// step of the entry (or of the "steps" array) it follows.
inline std::string Pick(const e2e::Json& root, const std::string& path) {
    const e2e::Json* node = &root;
    size_t begin = 0;
    while (begin <= path.size()) {
        const size_t end = std::min(path.find('.', begin), path.size());
        const std::string part = path.substr(begin, end - begin);
        if (part == "paths" && node->Find("steps") != nullptr) node = node->Find("steps");
        if (part == "paths" && node->kind == e2e::Json::Kind::Array) {
            e2e::Json paths;
            paths.kind = e2e::Json::Kind::Array;
            for (const e2e::Json& step : node->items) paths.items.push_back(step["path"]);
            return Compact(paths);
        }
        if (node->kind == e2e::Json::Kind::Array) {
            const size_t index = std::stoul(part);
            if (index >= node->items.size()) return "<missing " + path + ">";
            node = &node->items[index];
        } else {
            node = node->Find(part);
            if (node == nullptr) return "<missing " + path + ">";
        }
        begin = end + 1;
    }
    return Compact(*node);
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A sample's files copied into `dir`, each passed through `change` (name, bytes) first
// when given; an empty result leaves the file out. The case file's path.
inline std::string CopySample(const TempDir& dir, const fs::path& caseFile,
                              const std::function<std::string(const std::string&, std::string)>& change = nullptr) {
  std::string copied;
  for (const auto& entry : fs::directory_iterator(caseFile.parent_path())) {
    const std::string name = entry.path().filename().string();
    std::string bytes = quorix::test::ReadBytes(entry.path());
    if (change) bytes = change(name, std::move(bytes));
    if (bytes.empty()) continue;
    const std::string path = dir.Write(name, bytes);
    if (entry.path() == caseFile) copied = path;
  }
  return copied;
}

}  // namespace casetest
