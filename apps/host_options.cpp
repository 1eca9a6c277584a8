#include "apps/host_options.h"

#include <charconv>

namespace {

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    int64_t parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

struct Flag {
    const char* name;
    bool HostOptions::*member;
};

const Flag Flags[] = {
    {"--batch", &HostOptions::batch},
    {"--dialog-cancel", &HostOptions::dialogCancel},
    {"--no-raw-node-map", &HostOptions::noRawNodeMap},
    {"--no-value-sharing", &HostOptions::noValueSharing},
    {"--json", &HostOptions::json},
    {"--load-all", &HostOptions::loadAll},
    {"--time", &HostOptions::time},
    {"--dump-load-requests", &HostOptions::dumpLoadRequests},
    {"--dump-connectivity", &HostOptions::dumpConnectivity},
    {"--help", &HostOptions::help},
    {"-h", &HostOptions::help},
};

// Options that take a value (IsValueOption); false with `error` set when the value is bad.
bool TakeValue(const std::string& name, const std::string& value, HostOptions& options, std::string& error) {
    int64_t number = 0;
    if (name == "--answer") {
        if (value != "yes" && value != "no") error = "--answer takes yes or no";
        options.answer = value == "yes";
    } else if (name == "--host-version") {
        options.hostVersion = value;
    } else if (name == "--cancel-at") {
        if (!ParseInt(value, 0, 100, number)) error = "--cancel-at takes a percentage 0..100";
        options.cancelAt = static_cast<int32_t>(number);
    } else if (name == "--addon") {
        options.addon = value;
    } else if (name == "--refuse-registration") {
        if (!ParseInt(value, 1, INT64_MAX, number)) error = "--refuse-registration takes a count from 1";
        options.refuseRegistration = number;
    } else if (name == "--threads") {
        if (!ParseInt(value, 1, 256, number)) error = "--threads takes 1..256";
        options.threads = static_cast<int>(number);
    } else if (name == "--preload") {
        options.preload = value;
    }
    return error.empty();
}

bool IsValueOption(const std::string& name) {
    for (const char* option : {"--answer", "--host-version", "--cancel-at", "--addon", "--refuse-registration",
                               "--threads", "--preload"}) {
        if (name == option) return true;
    }
    return false;
}

bool CheckOperands(const HostOptions& options, std::string& error) {
    const size_t n = options.operands.size();
    const std::string& c = options.command;
    if (c == "load" || c == "case" || c == "info") {
        if (n != 1) error = c + " takes one case file";
    } else if (c == "pick") {
        if (n > 1 || (n == 0 && !options.dialogCancel)) error = "pick takes one case file (none with --dialog-cancel)";
    } else if (c == "run") {
        if (n == 0) error = "run takes an instruction list: KEY VALUE ...";
    } else if (c.empty()) {
        error = "no command given";
    } else {
        error = "unknown command \"" + c + "\"";
    }
    return error.empty();
}

}  // namespace

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error) {
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool matched = false;
        if (!operandsOnly && arg == "--") {
            operandsOnly = true;
            continue;
        }
        if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
            for (const Flag& flag : Flags) {
                if (arg == flag.name) options.*flag.member = matched = true;
            }
            if (!matched && IsValueOption(arg)) {
                if (i + 1 >= args.size()) {
                    error = arg + " needs a value";
                    return false;
                }
                if (!TakeValue(arg, args[++i], options, error)) return false;
                matched = true;
            }
            if (!matched) {
                error = "unknown option " + arg;
                return false;
            }
            continue;
        }
        if (options.command.empty()) {
            options.command = arg;
        } else {
            options.operands.push_back(arg);
        }
    }
    return options.help || CheckOperands(options, error);
}

const char* HostUsage() {
    return "usage: zelhost COMMAND [options]\n"
           "commands:\n"
           "  load CASE           load a case through the add-on's loader\n"
           "  run KEY VALUE ...   pass a raw instruction list to the loader\n"
           "  pick CASE           go through the loader-selected callback; the file dialog answers CASE\n"
           "  case CASE           parse the case file and print its record (no add-on)\n"
           "  info CASE           format, parts, variables, time steps and missing files, without loading values\n"
           "options:\n"
           "  --batch                  host batch mode on\n"
           "  --answer yes|no          answer to the host's questions (default yes)\n"
           "  --host-version V         host version, e.g. 12.0.0.0 (default 12.1.0.0)\n"
           "  --cancel-at P            the user stops the load once percent-done reaches P\n"
           "  --addon PATH             add-on library (default: libquorix.so beside zelhost)\n"
           "  --dialog-cancel          the file dialog answers cancel\n"
           "  --refuse-registration N  the host refuses the N-th load-on-demand registration\n"
           "  --no-raw-node-map        the host withholds raw node-map pointers\n"
           "  --no-value-sharing       the host allows no zone to share another's values\n"
           "  --preload CASE           load CASE first, so a data set already exists\n"
           "  --json                   machine-readable report on stdout\n"
           "  --load-all               force every deferred load before reporting\n"
           "  --threads N              force from N threads at once (with --load-all)\n"
           "  --time                   report load and force times\n"
           "  --dump-load-requests     list registered load requests (without forcing)\n"
           "  --dump-connectivity      full node-map and face-map arrays in the report\n"
           "  --help                   this text\n"
           "a terminal on stderr shows a progress line (not with --json); Ctrl-C stops the load, a second one\n"
           "ends zelhost at once\n"
           "exit status: 0 when the load succeeded (and, with --load-all, no deferred load failed), 1 when it\n"
           "failed, 2 for a bad command line, 130 when Ctrl-C stopped the load\n";
}
