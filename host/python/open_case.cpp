#include "host/python/open_case.h"

#include <mutex>

#include "apps/addon_library.h"

namespace quorixpy {
namespace {

std::mutex& TurnMutex() {
    static std::mutex* mutex = new std::mutex;  // loads may still run at exit
    return *mutex;
}

}  // namespace

bool StartHost(const std::string& addOnPath, std::string& error) {
    static std::once_flag once;
    static bool started = false;
    static std::string failure;
    std::call_once(once, [&] {
        zelhost::Settings settings;
        settings.echoMessages = false;  // they reach Python as exceptions, warnings and case.messages
        zelhost::Configure(settings);
        started = StartAddOn(addOnPath, failure) && zelhost::HasLoader();
        if (failure.empty() && !started) failure = "the add-on " + addOnPath + " registered no loader";
    });
    error = failure;
    return started;
}

LoadOutcome LoadCase(const std::string& path) {
    const std::lock_guard<std::mutex> turn(TurnMutex());
    const size_t mark = MessageMark();
    const int32_t frames = zelhost::FrameCount();
    zelhost::PushFrame();
    LoadOutcome outcome;
    if (zelhost::CallLoader(LoadInstructions(path))) outcome.dataSet = zelhost::TopDataSet();
    // A failed load has removed its frame, or never filled it.
    if (outcome.dataSet == nullptr) {
        while (zelhost::FrameCount() > frames) zelhost::DeleteTopFrame();
    }
    outcome.messages = MessagesSince(mark);
    return outcome;
}

void CloseCase(const zelhost::DataSetHandle& dataSet) {
    const std::lock_guard<std::mutex> turn(TurnMutex());
    zelhost::RemoveFrameOf(dataSet.get());
}

size_t MessageMark() { return zelhost::Messages().size(); }

std::vector<zelhost::Message> MessagesSince(size_t mark) {
    std::vector<zelhost::Message> all = zelhost::Messages();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(mark, all.size())), all.end()};
}

std::string ErrorText(const std::vector<zelhost::Message>& messages, const std::string& fallback) {
    std::string text;
    for (const zelhost::Message& message : messages) {
        if (message.kind != "error") continue;
        if (!text.empty()) text += '\n';
        text += message.text;
    }
    return text.empty() ? fallback : text;
}

}  // namespace quorixpy
