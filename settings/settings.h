#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace settings {

// The delay, in seconds, between choosing an action and its being performed
// when the settings file gives none that can be used.
inline constexpr std::int32_t kDefaultDelaySeconds = 5;

// The longest usable delay: its interval in milliseconds must still fit the
// unsigned 32-bit interval of a timer (4294967 * 1000 < 2^32).
inline constexpr std::int32_t kMaxDelaySeconds = 4294967;

// The settings file's name, beside the executable.
inline constexpr std::string_view kSettingsFileName = "setting.ini";

// The real path of the running executable, or the empty text when it cannot
// be found.
std::string ExecutablePath();

// The directory part of `executable_path`: everything up to and including the
// last "/", so it always ends with one. A path without any "/" (the empty one
// included) names something in the working directory, so the result is "./".
std::string ProgramDirOf(std::string_view executable_path);

// Reads values from one initialization file. It holds the path and nothing
// else: no handle, no copy of the contents. Every read goes to the file anew,
// so edits made while the program runs are seen at the next read.
class SettingsFile {
 public:
  // Does not touch the file.
  explicit SettingsFile(std::string path);

  const std::string& path() const { return path_; }

  // The value of `key` in `section`, or `default_text` when the file, the
  // section or the key is missing or the file cannot be read.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_text) const;

 private:
  std::string path_;
};

// Everything that opening the settings sets up.
struct Settings {
  std::string ProgramDir;
  std::string SettingsPath;  // ProgramDir followed by "setting.ini"
  std::unique_ptr<settings::SettingsFile> SettingsFile;
};

// Sets up the settings for the executable at `executable_path`. Cannot fail
// and does not touch the file.
Settings OpenSettings(std::string_view executable_path);

// The action delay in seconds: key "Delay" of section "MouseSetting", read
// anew at every call. kDefaultDelaySeconds when the file, section or key is
// missing or the value is not a number. A delay below 1 or above
// kMaxDelaySeconds is treated the same way: with 0 the chosen action would
// never come, a negative one would wait for weeks, and a larger one would
// wrap the millisecond interval to some other, unannounced time.
std::int32_t ReadDelay(const SettingsFile& file);

}  // namespace settings
