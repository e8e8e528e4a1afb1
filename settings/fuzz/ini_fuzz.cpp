// Feeds arbitrary bytes to the settings reader: as the contents of a settings
// file, read for a value and for the delay, and as a value's text. Besides
// the sanitizers' checks it aborts when an answer breaks the reader's
// promises: a value is only ever bytes of the file, never longer than the
// cap; the delay is always a usable one; a number is read as it is written.

#include <stdlib.h>
#include <unistd.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/parse_integer.h"
#include "settings/settings.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `number` read by std::from_chars in `base`, when it is all a number.
template <typename T>
bool ReadWhole(std::string_view number, int base, T& value) {
  const char* end = number.data() + number.size();
  auto [stop, error] = std::from_chars(number.data(), end, value, base);
  return error == std::errc() && stop == end;
}

// Checks ParseIntegerText against std::from_chars, which knows nothing of
// its forms' details but reads digits right.
void CheckNumber(std::string_view text) {
  // Two different defaults tell "no number" from a number equal to one.
  const std::int32_t a = settings::ParseIntegerText(text, 5);
  const std::int32_t b = settings::ParseIntegerText(text, 6);
  const bool is_number = a == b;
  if (!is_number && (a != 5 || b != 6)) abort();

  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    if (is_number) abort();
    return;
  }
  const std::string_view rest = text.substr(start);
  bool whole = false;
  std::int32_t expected = 0;
  if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X' ||
      (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))) {
    // Hexadecimal: up to 32 bits, read as their signed pattern.
    std::uint32_t bits = 0;
    whole = ReadWhole(rest.substr(rest[0] == '0' ? 2 : 1), 16, bits);
    expected = static_cast<std::int32_t>(bits);
  } else if (IsDigit(rest[0]) || rest[0] == '-') {
    whole = ReadWhole(rest, 10, expected);
  } else if (rest[0] == '+' && rest.size() > 1 && IsDigit(rest[1])) {
    whole = ReadWhole(rest.substr(1), 10, expected);
  }
  if (whole != is_number) abort();
  if (whole && a != expected) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckNumber(bytes);

  // A file per input, removed at once: libFuzzer may end the process without
  // running exit handlers, so nothing is left to clean up later.
  char path[] = "/tmp/mouse-ini-fuzz-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) abort();
  bool written = write(fd, data, size) == static_cast<ssize_t>(size);
  close(fd);
  if (!written) abort();
  std::string value =
      settings::ReadProfileString(path, "MouseSetting", "Delay", "");
  std::int32_t delay = settings::ReadDelay(settings::SettingsFile(path));
  unlink(path);

  if (value.size() > settings::kMaxProfileValueLength) abort();
  if (bytes.find(value) == std::string_view::npos) abort();
  if (delay < 1 || delay > settings::kMaxDelaySeconds) abort();
  // The delay is the value's number when that is usable, else the default.
  const std::int32_t parsed = settings::ParseIntegerText(value, 0);
  const bool usable = parsed >= 1 && parsed <= settings::kMaxDelaySeconds;
  if (delay != (usable ? parsed : settings::kDefaultDelaySeconds)) abort();
  CheckNumber(value);
  return 0;
}
