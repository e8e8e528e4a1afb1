#include "settings/settings.h"

#include <unistd.h>

#include <utility>
#include <vector>

#include "settings/ini_file.h"
#include "settings/parse_integer.h"

namespace settings {

std::string ExecutablePath() {
  // A path longer than the buffer comes back cut to its size, so the buffer
  // grows until the answer leaves room to spare. If the executable has been
  // replaced on disk, the kernel appends " (deleted)" to the file name; the
  // directory part is still right.
  std::vector<char> buffer(256);
  while (buffer.size() <= (1u << 16)) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

std::string ProgramDirOf(std::string_view executable_path) {
  std::size_t last_separator = executable_path.rfind('/');
  if (last_separator == std::string_view::npos) return "./";
  return std::string(executable_path.substr(0, last_separator + 1));
}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::ReadString(std::string_view section,
                                     std::string_view key,
                                     std::string_view default_text) const {
  return ReadProfileString(path_, section, key, default_text);
}

Settings OpenSettings(std::string_view executable_path) {
  Settings opened;
  opened.ProgramDir = ProgramDirOf(executable_path);
  // ProgramDir ends with "/"; a doubled one there ("/opt//mouse") is dropped
  // so that exactly one separator stands before the file name.
  std::string_view dir = opened.ProgramDir;
  while (dir.size() > 1 && dir[dir.size() - 2] == '/') dir.remove_suffix(1);
  opened.SettingsPath = std::string(dir) + std::string(kSettingsFileName);
  opened.SettingsFile = std::make_unique<SettingsFile>(opened.SettingsPath);
  return opened;
}

std::int32_t ReadDelay(const SettingsFile& file) {
  std::int32_t delay = ParseIntegerText(
      file.ReadString("MouseSetting", "Delay", ""), kDefaultDelaySeconds);
  if (delay < 1 || delay > kMaxDelaySeconds) return kDefaultDelaySeconds;
  return delay;
}

}  // namespace settings
