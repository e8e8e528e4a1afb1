#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace settings {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

bool NamesMatch(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Follows the file line by line and says when the search is over, so that
// reading can stop there.
class KeySearch {
 public:
  KeySearch(std::string_view section, std::string_view key)
      : section_(section), key_(key) {}

  // Returns true once the outcome is known: the value was found, or the
  // first matching section has ended without the key.
  bool TakeLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == ';') return false;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      if (close == std::string_view::npos) return false;
      if (in_section_) return true;
      in_section_ = NamesMatch(Trim(line.substr(1, close - 1)), section_);
      return false;
    }
    if (!in_section_) return false;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    if (!NamesMatch(Trim(line.substr(0, equals)), key_)) return false;
    std::string_view value = Unquote(Trim(line.substr(equals + 1)));
    value_ = std::string(value.substr(0, kMaxProfileValueLength));
    return true;
  }

  const std::optional<std::string>& value() const { return value_; }

 private:
  std::string_view section_;
  std::string_view key_;
  bool in_section_ = false;
  std::optional<std::string> value_;
};

// Reads the file at `path` up to kMaxProfileBytes, handing each complete
// line to `search` until it is satisfied. Returns false when the file is not
// a regular file or cannot be read.
bool SearchFile(const std::string& path, KeySearch& search) {
  // O_NONBLOCK keeps a FIFO without a writer from stalling the open; O_NOCTTY
  // keeps a terminal from becoming ours. Neither matters for the regular
  // files that are actually read.
  FileDescriptor file(
      open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return false;
  struct stat info;
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;

  std::string pending;  // bytes not yet handed on as lines
  std::vector<char> chunk(kChunkSize);
  std::size_t total = 0;
  bool at_start = true;
  for (;;) {
    std::size_t wanted = std::min(kChunkSize, kMaxProfileBytes - total);
    if (wanted == 0) {
      // At the cap: a last line without its line end is complete only if the
      // file ends here too.
      char probe;
      ssize_t got = read(file.get(), &probe, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got != 0) return true;
      break;
    }
    ssize_t got = read(file.get(), chunk.data(), wanted);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
    pending.append(chunk.data(), static_cast<std::size_t>(got));
    if (at_start) {
      // Too few bytes yet to tell a byte order mark; they hold no line end.
      if (pending.size() < kUtf8ByteOrderMark.size() &&
          kUtf8ByteOrderMark.starts_with(pending)) {
        continue;
      }
      if (pending.starts_with(kUtf8ByteOrderMark)) {
        pending.erase(0, kUtf8ByteOrderMark.size());
      }
      at_start = false;
    }

    // CR and LF both end a line; the empty line between the two halves of a
    // CRLF is simply skipped, so CRLF split across chunks needs no care.
    std::size_t line_start = 0;
    for (;;) {
      std::size_t line_end = pending.find_first_of("\r\n", line_start);
      if (line_end == std::string::npos) break;
      if (search.TakeLine(std::string_view(pending).substr(
              line_start, line_end - line_start))) {
        return true;
      }
      line_start = line_end + 1;
    }
    pending.erase(0, line_start);
  }
  // The file ended: what is left is its last line, without a line end.
  search.TakeLine(pending);
  return true;
}

}  // namespace

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key,
                              std::string_view default_text) {
  KeySearch search(section, key);
  if (!SearchFile(path, search) || !search.value()) {
    return std::string(default_text);
  }
  return *search.value();
}

}  // namespace settings
