#pragma once
// Runs zelhost (or any program) as a child process and reads its --json report.
// Header-only so every e2e test file can use it.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"

extern char** environ;

namespace e2e {

// ---------------------------------------------------------------- JSON

// A parsed JSON value. Numbers keep their text too, so 64-bit hashes compare exactly.
struct Json {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  struct Member;  // complete below: a pair would need Json complete here
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // string value, or the number as written
  std::vector<Json> items;
  std::vector<Member> members;  // file order kept

  const Json* Find(const std::string& key) const;
  const Json& operator[](const std::string& key) const;
  bool IsNull() const { return kind == Kind::Null; }
  std::string Str() const { return kind == Kind::String ? text : std::string(); }
};

struct Json::Member {
  std::string first;
  Json second;
};

inline const Json* Json::Find(const std::string& key) const {
  for (const auto& [k, v] : members) {
    if (k == key) return &v;
  }
  return nullptr;
}

inline const Json& Json::operator[](const std::string& key) const {
  static const Json none;
  const Json* v = Find(key);
  return v ? *v : none;
}

// Recursive-descent reader of RFC 8259 text; enough for our own reports.
class JsonReader {
 public:
  explicit JsonReader(const std::string& s) : p_(s.data()), end_(s.data() + s.size()) {}

  std::optional<Json> ParseDocument() {
    Json v;
    if (!Value(v, 0)) return std::nullopt;
    Blanks();
    if (p_ != end_) return std::nullopt;
    return v;
  }

 private:
  const char* p_;
  const char* end_;

  void Blanks() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
  }
  bool Literal(const char* word) {
    for (; *word; ++word, ++p_) {
      if (p_ == end_ || *p_ != *word) return false;
    }
    return true;
  }
  bool Value(Json& v, int depth) {
    if (depth > 64) return false;
    Blanks();
    if (p_ == end_) return false;
    switch (*p_) {
      case '{': return Object(v, depth);
      case '[': return Array(v, depth);
      case '"': v.kind = Json::Kind::String; return String(v.text);
      case 't': v.kind = Json::Kind::Bool; v.boolean = true; return Literal("true");
      case 'f': v.kind = Json::Kind::Bool; return Literal("false");
      case 'n': return Literal("null");
      default: return Number(v);
    }
  }
  bool Number(Json& v) {
    const char* start = p_;
    while (p_ != end_ && std::string_view("+-0123456789.eE").find(*p_) != std::string_view::npos) ++p_;
    if (p_ == start) return false;
    v.kind = Json::Kind::Number;
    v.text.assign(start, p_);
    char* stop = nullptr;
    v.number = std::strtod(v.text.c_str(), &stop);
    return *stop == '\0';
  }
  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  bool String(std::string& out) {
    ++p_;  // opening quote
    while (p_ != end_ && *p_ != '"') {
      char c = *p_++;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (p_ == end_) return false;
      char e = *p_++;
      static const std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
      if (auto k = from.find(e); k != std::string_view::npos) {
        out += to[k];
      } else if (e == 'u' && end_ - p_ >= 4) {
        AppendUtf8(out, unsigned(std::stoul(std::string(p_, 4), nullptr, 16)));
        p_ += 4;
      } else {
        return false;
      }
    }
    if (p_ == end_) return false;
    ++p_;
    return true;
  }
  // `item` for each element up to `close`, the elements separated by commas.
  template <class Item>
  bool List(char close, const Item& item) {
    ++p_;
    Blanks();
    if (p_ != end_ && *p_ == close) return ++p_, true;
    while (true) {
      if (!item()) return false;
      Blanks();
      if (p_ == end_) return false;
      if (*p_ == close) return ++p_, true;
      if (*p_++ != ',') return false;
    }
  }
  bool Array(Json& v, int depth) {
    v.kind = Json::Kind::Array;
    return List(']', [&] { return Value(v.items.emplace_back(), depth + 1); });
  }
  bool Object(Json& v, int depth) {
    v.kind = Json::Kind::Object;
    return List('}', [&] {
      Blanks();
      std::string key;
      if (p_ == end_ || *p_ != '"' || !String(key)) return false;
      Blanks();
      if (p_ == end_ || *p_++ != ':') return false;
      v.members.push_back({std::move(key), Json()});
      return Value(v.members.back().second, depth + 1);
    });
  }
};

inline std::optional<Json> ParseJson(const std::string& text) { return JsonReader(text).ParseDocument(); }

inline std::optional<Json> ReadJsonFile(const std::filesystem::path& path) {
  return std::filesystem::exists(path) ? ParseJson(quorix::test::ReadBytes(path)) : std::nullopt;
}

// ---------------------------------------------------------------- processes

struct RunResult {
  int status = -1;  // exit status; 128 + signal when killed; -1 when it could not start
  bool timedOut = false;
  std::string out;
  std::string err;
  std::optional<Json> report;  // stdout parsed as JSON, when it is JSON

  std::string Describe() const {
    return "exit " + std::to_string(status) + (timedOut ? " (timed out)" : "") + "\nstderr:\n" +
           err.substr(0, 4000) + "\nstdout:\n" + out.substr(0, 2000);
  }
};

// Starts argv[0] with stdin from /dev/null, stdout into the file `out` and
// stderr into `err` (a file or a terminal), `env` (NAME=VALUE) added to the
// environment; `keepFromChild` is closed in the child. -1 when it could not start.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::string& out, const std::string& err,
                   const std::vector<std::string>& env = {}, int keepFromChild = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOCTTY, 0600);
  if (keepFromChild >= 0) posix_spawn_file_actions_addclose(&actions, keepFromChild);
  std::vector<std::string> envStrings = env;
  for (char** e = environ; *e != nullptr; ++e) envStrings.emplace_back(*e);
  std::vector<char*> args, envp;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  for (auto& e : envStrings) envp.push_back(e.data());
  args.push_back(nullptr);
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Whether the child has ended, waiting for it; past the deadline it is killed first.
inline bool Ended(pid_t pid, int& wstatus, std::chrono::steady_clock::time_point deadline, bool& timedOut) {
  if (waitpid(pid, &wstatus, WNOHANG) == pid) return true;
  if (std::chrono::steady_clock::now() <= deadline) return false;
  kill(pid, SIGKILL);
  waitpid(pid, &wstatus, 0);
  timedOut = true;
  return true;
}

// The exit status; 128 + signal when killed.
inline int ExitStatus(int wstatus) { return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus); }

// Runs argv[0] with the arguments; output goes through files so neither pipe can block.
inline RunResult RunProgram(const std::vector<std::string>& argv, int timeoutSeconds = 300) {
  RunResult result;
  const quorix::test::TempDir dir;
  const std::string out = (dir.Path() / "out").string(), err = (dir.Path() / "err").string();
  const pid_t pid = Spawn(argv, out, err);
  if (pid < 0) {
    result.err = "cannot start " + argv[0];
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int wstatus = 0;
  while (!Ended(pid, wstatus, deadline, result.timedOut)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  result.status = ExitStatus(wstatus);
  result.out = quorix::test::ReadBytes(out);
  result.err = quorix::test::ReadBytes(err);
  result.report = ParseJson(result.out);
  return result;
}

// The hash of every array of a forced load's report, by zone number and array name.
inline std::map<std::string, std::string> Hashes(const Json& report) {
  std::map<std::string, std::string> out;
  for (const auto& zone : report["zones"].items) {
    const std::string prefix = zone["number"].text + "/";
    for (const auto& [var, stats] : zone["values"].members) out[prefix + var] = stats["hash"].text;
    for (const char* map : {"nodeMap", "faceMap"}) {
      if (const Json* m = zone.Find(map)) out[prefix + map] = (*m)["hash"].text + "#" + (*m)["entries"].text;
    }
  }
  return out;
}

// A run that left the host clean: every registration released, no host block alive, no host fault.
inline void ExpectClean(const RunResult& run) {
  ASSERT_TRUE(run.report) << run.Describe();
  const Json& report = *run.report;
  EXPECT_EQ(report["clientData"]["registered"].text, report["clientData"]["released"].text) << run.out;
  EXPECT_TRUE(report["leaks"].members.empty()) << run.out;
  EXPECT_TRUE(report["hostFaults"].items.empty()) << run.out;
}

// What compare_report.py (of the shared data) finds wrong with a --json report
// against an oracle.json; empty when they agree.
inline std::string OracleMismatch(const RunResult& run, const std::filesystem::path& oracle, bool structureOnly = false) {
  const quorix::test::TempDir dir;
  std::vector<std::string> argv{"python3", std::string(QUORIX_SHARED_TOOLS) + "/compare_report.py"};
  if (structureOnly) argv.push_back("--structure");
  argv.push_back(dir.Write("report.json", run.out));
  argv.push_back(oracle.string());
  const RunResult compared = RunProgram(argv);
  return compared.status == 0 ? "" : "compare_report.py:\n" + compared.out + compared.err;
}

// The strings of a JSON array.
inline std::vector<std::string> Strings(const Json& array) {
  std::vector<std::string> out;
  for (const auto& v : array.items) out.push_back(v.Str());
  return out;
}

// The texts of the report's messages of one kind ("error", "info", "question"), or of all.
inline std::vector<std::string> Texts(const Json& report, const std::string& kind = "") {
  std::vector<std::string> texts;
  for (const Json& message : report["messages"].items) {
    if (kind.empty() || message["kind"].Str() == kind) texts.push_back(message["text"].Str());
  }
  return texts;
}

// How many load requests of a --dump-load-requests report are for the variable `name`.
inline size_t LoadRequestsOf(const Json& report, const std::string& name) {
  const auto& names = report["variables"].items;
  const auto variable = std::find_if(names.begin(), names.end(), [&](const Json& n) { return n.Str() == name; });
  const double number = static_cast<double>(variable - names.begin() + 1);
  const auto& requests = report["loadRequests"].items;
  return static_cast<size_t>(std::count_if(requests.begin(), requests.end(),
                                           [&](const Json& request) { return request["variable"].number == number; }));
}

// A case or file of samples/ ("gold/cube/cube.case").
inline std::string Sample(const std::string& relative) { return std::string(QUORIX_SAMPLES) + "/" + relative; }

// The zelhost built with the tests, or QUORIX_ZELHOST's: the ThreadSanitizer
// stage drives its instrumented build with these tests.
inline std::string ZelhostPath() {
  const char* other = std::getenv("QUORIX_ZELHOST");
  return other && *other ? other : ZELHOST_PATH;
}

// `zelhost ARGS...`
inline RunResult RunZelhost(const std::vector<std::string>& args, int timeoutSeconds = 300) {
  std::vector<std::string> argv{ZelhostPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv, timeoutSeconds);
}

// `zelhost load CASE --json EXTRA...`, the report parsed.
inline RunResult LoadCase(const std::string& casePath, const std::vector<std::string>& extra = {},
                          int timeoutSeconds = 300) {
  std::vector<std::string> args{"load", casePath, "--json"};
  args.insert(args.end(), extra.begin(), extra.end());
  return RunZelhost(args, timeoutSeconds);
}

}  // namespace e2e
