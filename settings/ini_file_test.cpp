#include "settings/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"

namespace settings {
namespace {

constexpr char kDefault[] = "<default>";

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  // Writes `content` as the file and reads Delay from MouseSetting.
  std::string ReadDelayText(const std::string& content) {
    dir_.Write("setting.ini", content);
    return ReadProfileString(dir_.File("setting.ini"), "MouseSetting", "Delay",
                             kDefault);
  }
  std::string ReadDelayTextAt(const std::string& path) {
    return ReadProfileString(path, "MouseSetting", "Delay", kDefault);
  }

  testing_support::TempDir dir_;
};

// `ascii` in UTF-16, little-endian, as Windows tools write it.
std::string Utf16Le(std::string_view ascii) {
  std::string wide;
  for (char c : ascii) {
    wide.push_back(c);
    wide.push_back('\0');
  }
  return wide;
}

struct Case {
  const char* what;
  std::string content;
  std::string expected;
};

TEST_F(IniFileTest, FileSyntax) {
  const std::string s = "[MouseSetting]\n";
  const std::string bom = "\xEF\xBB\xBF";
  const Case cases[] = {
      {"plain", s + "Delay=7\n", "7"},
      {"last line without line end", s + "Delay=7", "7"},
      {"empty file", "", kDefault},
      {"no such section", "[Other]\nDelay=7\n", kDefault},
      {"no such key", s + "Other=7\n", kDefault},
      {"key before any section", "Delay=7\n" + s, kDefault},
      {"key in the next section", s + "[Other]\nDelay=7\n", kDefault},
      {"other sections around", "[A]\nDelay=1\n" + s + "Delay=7\n[B]\nDelay=2",
       "7"},
      {"empty value", s + "Delay=\n", ""},
      {"blank value", s + "Delay= \t \n", ""},
      {"letter case", "[mOUSEsETTING]\ndelay=7\n", "7"},
      {"blanks trimmed", " \t[ \tMouseSetting\t ]\t\n \tDelay \t= \t7 \t\n",
       "7"},
      {"inner blanks kept", s + "Delay=7 8\n", "7 8"},
      {"equals sign in value", s + "Delay=a=b\n", "a=b"},
      {"name is not a prefix match", s + "Delays=1\nDela=2\nDelay=7\n", "7"},
      {"double quotes", s + "Delay=\"7\"\n", "7"},
      {"single quotes", s + "Delay='7'\n", "7"},
      {"blanks inside quotes kept", s + "Delay= \" 7 \" \n", " 7 "},
      {"empty quotes", s + "Delay=\"\"\n", ""},
      {"only one pair removed", s + "Delay=\"\"7\"\"\n", "\"7\""},
      {"mismatched quotes kept", s + "Delay=\"7'\n", "\"7'"},
      {"lone quote kept", s + "Delay=\"\n", "\""},
      {"quote at one end kept", s + "Delay=\"7\n", "\"7"},
      {"comments", s + ";Delay=3\n \t; Delay=4\nDelay=7\n", "7"},
      {"commented header", ";[MouseSetting]\nDelay=7\n", kDefault},
      {"text after header ignored", "[MouseSetting] ; delay\nDelay=7\n", "7"},
      {"header without ] ignored", s + "[Other\nDelay=7\n", "7"},
      {"line without = ignored", s + "Delay\nDelay=7\n", "7"},
      {"key without = is absent", s + "Delay\n", kDefault},
      {"first of repeated keys", s + "Delay=7\nDelay=9\n", "7"},
      {"first of repeated sections", s + "Delay=7\n" + s + "Delay=9\n", "7"},
      {"only the first section searched", s + "Other=1\n" + s + "Delay=7\n",
       kDefault},
      {"CRLF", "[MouseSetting]\r\nDelay=7\r\n", "7"},
      {"CR", "[MouseSetting]\rDelay=7\r", "7"},
      {"mixed line ends", "[A]\r\nX=1\r[MouseSetting]\n\r\nDelay=7\r\n", "7"},
      {"UTF-8 byte order mark", bom + s + "Delay=7\n", "7"},
      {"byte order mark mid-file kept", s + bom + "Delay=7\n", kDefault},
      {"NUL bytes handed on", s + std::string("Delay=7\0\n", 9),
       std::string("7\0", 2)},
      {"NUL bytes before", std::string("\0\0\n", 3) + s + "Delay=7\n", "7"},
      {"invalid UTF-8 handed on", s + "Delay=\xFF\xC3(\n", "\xFF\xC3("},
      {"UTF-16 is not understood",
       "\xFF\xFE" + Utf16Le("[MouseSetting]\nDelay=7\n"), kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadDelayText(c.content), c.expected);
  }
}

TEST_F(IniFileTest, BinaryGarbageBeforeTheSection) {
  // Every byte value, in a scrambled order, many times over.
  std::string garbage;
  std::uint32_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 1103515245u + 12345u;
    garbage.push_back(static_cast<char>(state >> 24));
  }
  EXPECT_EQ(ReadDelayText(garbage), kDefault);
  EXPECT_EQ(ReadDelayText(garbage + "\n[MouseSetting]\nDelay=7\n"), "7");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  struct LengthCase {
    std::size_t length;
    bool quoted;
  };
  const LengthCase cases[] = {
      {2047, false}, {2048, false}, {5000, false}, {5000, true}};
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + (c.quoted ? " quoted" : ""));
    std::string value(c.length, '7');
    if (c.quoted) value = "\"" + value + "\"";
    std::string read = ReadDelayText("[MouseSetting]\nDelay=" + value + "\n");
    EXPECT_EQ(read, std::string(std::min<std::size_t>(c.length, 2047), '7'));
  }
}

// Places "Delay=7" so that its line ends at `line_end` bytes into the file,
// then fills the file up to `size` bytes.
std::string KeyLineEndingAt(std::size_t line_end, std::size_t size,
                            bool with_line_end) {
  const std::string head = "[MouseSetting]\n;";
  const std::string key = with_line_end ? "\nDelay=7\n" : "\nDelay=7";
  std::string content = head;
  content.append(line_end - head.size() - key.size(), 'x');
  content += key;
  content.resize(size, '\n');
  return content;
}

TEST_F(IniFileTest, OnlyTheFirstMebibyteIsRead) {
  const std::size_t cap = kMaxProfileBytes;
  const Case cases[] = {
      {"line ends at the cap", KeyLineEndingAt(cap, cap + 100, true), "7"},
      {"file without line end ends at the cap",
       KeyLineEndingAt(cap, cap, false), "7"},
      {"line cut by the cap", KeyLineEndingAt(cap + 1, cap + 100, true),
       kDefault},
      {"line cut by the cap, no line end",
       KeyLineEndingAt(cap + 1, cap + 1, false), kDefault},
      {"key after the cap", KeyLineEndingAt(cap + 20, cap + 100, true),
       kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadDelayText(c.content), c.expected);
  }
}

TEST_F(IniFileTest, HugeFileIsReadOnlyAsFarAsNeeded) {
  // A sparse 100 MB file: the key at its start is found, the one in its
  // middle lies beyond the cap and counts as absent.
  const std::string path = dir_.File("setting.ini");
  const off_t size = 100 * 1000 * 1000;
  const std::string head = "[MouseSetting]\nDelay=7\n";
  const std::string middle = "\n[Later]\nLate=9\n";
  {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, head.data(), head.size(), 0),
              static_cast<ssize_t>(head.size()));
    ASSERT_EQ(pwrite(fd, middle.data(), middle.size(), size / 2),
              static_cast<ssize_t>(middle.size()));
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
  }
  EXPECT_EQ(ReadDelayTextAt(path), "7");
  EXPECT_EQ(ReadProfileString(path, "Later", "Late", kDefault), kDefault);
}

TEST_F(IniFileTest, HundredMegabytesOfGarbage) {
  // Written out in full, not sparse: random bytes with line ends, NULs and
  // brackets all through, and a key that only comes after them.
  std::string block;
  std::uint32_t state = 777;
  for (int i = 0; i < (1 << 20); ++i) {
    state = state * 1103515245u + 12345u;
    block.push_back(static_cast<char>(state >> 24));
  }
  const std::string key = "\n[MouseSetting]\nDelay=7\n";
  const Case cases[] = {
      {"key only after the garbage", "", kDefault},
      {"key before the garbage too", key, "7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir_.File("setting.ini");
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << c.content;
      for (int i = 0; i < 100; ++i) out << block;
      out << key;
    }
    ASSERT_EQ(std::filesystem::file_size(path),
              c.content.size() + 100 * block.size() + key.size());
    EXPECT_EQ(ReadDelayTextAt(path), c.expected);
  }
}

TEST_F(IniFileTest, WhatIsNotARegularFileReadsAsMissing) {
  dir_.Write("real.ini", "[MouseSetting]\nDelay=7\n");
  std::filesystem::create_directory(dir_.File("dir"));
  std::filesystem::create_symlink("loop_b", dir_.File("loop_a"));
  std::filesystem::create_symlink("loop_a", dir_.File("loop_b"));
  std::filesystem::create_symlink("gone.ini", dir_.File("dangling"));
  std::filesystem::create_symlink("real.ini", dir_.File("link.ini"));

  EXPECT_EQ(ReadDelayTextAt(dir_.File("link.ini")), "7") << "a link is read";
  const Case cases[] = {
      {"missing", dir_.File("missing.ini"), kDefault},
      {"empty path", "", kDefault},
      {"directory", dir_.File("dir"), kDefault},
      {"directory with slash", dir_.File("dir") + "/", kDefault},
      {"symlink loop", dir_.File("loop_a"), kDefault},
      {"dangling symlink", dir_.File("dangling"), kDefault},
      {"file used as a directory", dir_.File("real.ini") + "/x", kDefault},
      {"character device", "/dev/null", kDefault},
      {"endless device", "/dev/zero", kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadDelayTextAt(c.content), c.expected);
  }
}

TEST_F(IniFileTest, FifoDoesNotBlock) {
  const std::string path = dir_.File("setting.ini");
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
  std::future<std::string> read =
      std::async(std::launch::async, [&] { return ReadDelayTextAt(path); });
  if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    // Free the stuck reader: a writer that opens and closes ends its wait.
    int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) close(writer);
    ADD_FAILURE() << "reading a FIFO blocked";
  }
  EXPECT_EQ(read.get(), kDefault);

  // With a writer and data waiting: still the default, and the data is
  // left where it was, for whoever the FIFO is meant for.
  int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const std::string data = "[MouseSetting]\nDelay=7\n";
  ASSERT_EQ(write(writer, data.data(), data.size()),
            static_cast<ssize_t>(data.size()));
  EXPECT_EQ(ReadDelayTextAt(path), kDefault);
  char buffer[64];
  EXPECT_EQ(::read(reader, buffer, sizeof buffer),
            static_cast<ssize_t>(data.size()));
  close(writer);
  close(reader);
}

// Reads Delay from `path` as the user nobody (65534) in a child process, so
// that file modes count even for root, which the tests run as in CI. The
// child's exit code is 0 when it read `expected`, 1 when it read something
// else, 2 when it could not become nobody.
int ExitCodeOfReadingAsNobody(const std::string& path,
                              const std::string& expected) {
  pid_t child = fork();
  if (child == 0) {
    if (setresgid(65534, 65534, 65534) != 0 ||
        setresuid(65534, 65534, 65534) != 0)
      _exit(2);
    _exit(ReadProfileString(path, "MouseSetting", "Delay", kDefault) == expected
              ? 0
              : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

TEST_F(IniFileTest, UnreadableFileReadsAsMissing) {
  const std::string content = "[MouseSetting]\nDelay=7\n";
  dir_.Write("readable.ini", content);
  dir_.Write("setting.ini", content);
  const std::string path = dir_.File("setting.ini");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);

  if (geteuid() != 0) {
    EXPECT_EQ(ReadDelayTextAt(path), kDefault);
  } else {
    // The directory must let nobody in for the file's own mode to decide.
    ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    int readable = ExitCodeOfReadingAsNobody(dir_.File("readable.ini"), "7");
    if (readable == 2) GTEST_SKIP() << "cannot switch to the user nobody";
    ASSERT_EQ(readable, 0) << "nobody cannot read a plain file here";
    EXPECT_EQ(ExitCodeOfReadingAsNobody(path, kDefault), 0);
  }

  struct stat after;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0u) << "the mode was changed";
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
}

TEST_F(IniFileTest, ReadingChangesNothingOnDisk) {
  const std::string path = dir_.File("setting.ini");
  const std::string content = "[MouseSetting]\nDelay=7\n[Other]\nX=1\n";
  dir_.Write("setting.ini", content);
  // An old time, so that any write would show as a change.
  const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old_times, 0), 0);
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);

  EXPECT_EQ(ReadDelayTextAt(path), "7");
  EXPECT_EQ(ReadProfileString(path, "Other", "Missing", kDefault), kDefault);
  EXPECT_EQ(ReadProfileString(path, "Missing", "X", kDefault), kDefault);
  EXPECT_EQ(ReadDelayTextAt(dir_.File("missing.ini")), kDefault);

  struct stat after;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
  EXPECT_FALSE(dir_.Exists("missing.ini"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace settings
