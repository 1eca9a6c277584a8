#include "casefile/show_error.h"

#include "addon/zel_api.h"

namespace quorix {
namespace {

std::string Fill(std::string_view pattern, std::string_view placeholder, std::string_view value) {
    std::string text(pattern);
    const size_t at = text.find(placeholder);
    if (at != std::string::npos) text.replace(at, placeholder.size(), value);
    return text;
}

}  // namespace

void ShowError(std::string_view message) { ZelUtilDialogErrMsg(std::string(message).c_str()); }

void ShowError(std::string_view pattern, std::string_view value) { ShowError(Fill(pattern, "%s", value)); }

void ShowError(std::string_view pattern, int64_t value) { ShowError(Fill(pattern, "%d", std::to_string(value))); }

}  // namespace quorix
