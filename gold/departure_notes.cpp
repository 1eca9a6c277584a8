#include "gold/departure_notes.h"

#include <utility>

#include "casefile/show_error.h"

namespace quorix {

std::string DeparturesText(const char* what, const std::string& path, const std::string& items) {
    if (items.empty()) return items;
    return "The " + std::string(what) + " file " + path +
           " was loaded with these departures from the EnSight Gold layout:" + items;
}

void DepartureNotes::Add(std::string text) {
    if (text.empty()) return;
    if (first_.empty()) first_ = std::move(text);
    else ++more_;
}

void DepartureNotes::Show() const {
    if (first_.empty()) return;
    if (more_ == 0) return ShowInformation(first_);
    ShowInformation(first_ + "\n(" + std::to_string(more_) + " more files of the series depart likewise)");
}

}  // namespace quorix
