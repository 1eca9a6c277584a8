// The read limit a load is measured against: read() every named file into a
// freshly allocated array, so the run pays the page faults a load pays.
// Usage: readlimit FILE...   prints bytes, seconds and GB/s.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Reads the whole file into a new uninitialised array; -1 on failure.
int64_t ReadWhole(const char* path, std::vector<std::unique_ptr<char[]>>& keep) {
  const int fd = open(path, O_RDONLY);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    if (fd >= 0) close(fd);
    return -1;
  }
  const int64_t size = st.st_size;
  keep.emplace_back(new char[size > 0 ? size : 1]);  // default-initialised: no page touched yet
  int64_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, keep.back().get() + done, size_t(size - done));
    if (n <= 0) break;
    done += n;
  }
  close(fd);
  return done == size ? size : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: readlimit FILE...\n");
    return 2;
  }
  std::vector<std::unique_ptr<char[]>> arrays;  // all kept, as a load keeps its arrays
  int64_t total = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i < argc; ++i) {
    const int64_t n = ReadWhole(argv[i], arrays);
    if (n < 0) {
      std::fprintf(stderr, "readlimit: cannot read %s\n", argv[i]);
      return 1;
    }
    total += n;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("bytes %lld seconds %.6f GB/s %.3f\n", static_cast<long long>(total), seconds,
              seconds > 0 ? double(total) / seconds / 1e9 : 0.0);
  return 0;
}
