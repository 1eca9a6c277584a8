// A small streaming JSON writer: commas and escaping handled in one place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Int(int64_t value);
    JsonWriter& Double(double value);  // NaN and infinities become null
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    JsonWriter& Raw(std::string_view json);  // a value rendered by another writer
    const std::string& text() const { return out_; }

private:
    void Separate();
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void Quote(std::string_view text);

    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written yet
    bool afterKey_ = false;
};
