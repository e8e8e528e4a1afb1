// Feeds arbitrary bytes to the settings reader, as the contents of a settings
// file and as a value text.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/parse_integer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  settings::ParseIntegerText(bytes, 5);

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
  unlink(path);
  if (value.size() > settings::kMaxProfileValueLength) abort();
  return 0;
}
