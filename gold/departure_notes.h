// Departures from the file layout that a scan allowed for, told to the user.
#pragma once

#include <cstdint>
#include <string>

namespace quorix {

// "The <what> file <path> was loaded with these departures from the EnSight
// Gold layout:" and one line per item (each item starts with "\n- "); empty
// when there are no items.
std::string DeparturesText(const char* what, const std::string& path, const std::string& items);

// The departures of a series' files, told in one information message: the
// first file's text and how many more files departed (a long series would
// otherwise give a message per step).
class DepartureNotes {
public:
    void Add(std::string text);
    void Show() const;

private:
    std::string first_;
    int32_t more_ = 0;
};

}  // namespace quorix
