#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace settings {
namespace {

TEST(ProgramDirOf, KeepsEverythingUpToTheLastSeparator) {
  struct Case {
    std::string executable;
    std::string dir;
  };
  const Case cases[] = {
      {"/usr/local/bin/mouse", "/usr/local/bin/"},
      {"/mouse", "/"},
      {"bin/mouse", "bin/"},
      {"/opt/mouse dir/mouse", "/opt/mouse dir/"},
      {"/opt/mouse (deleted)", "/opt/"},
      {"/opt/dir/", "/opt/dir/"},
      {"mouse", "./"},
      {"", "./"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("executable \"" + c.executable + "\"");
    EXPECT_EQ(ProgramDirOf(c.executable), c.dir);
  }
}

TEST(OpenSettings, PutsTheFileBesideTheExecutable) {
  struct Case {
    std::string executable;
    std::string dir;
    std::string path;
  };
  const Case cases[] = {
      {"/opt/mouse/mouse", "/opt/mouse/", "/opt/mouse/setting.ini"},
      {"/mouse", "/", "/setting.ini"},
      {"mouse", "./", "./setting.ini"},
      {"/opt//mouse", "/opt//", "/opt/setting.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("executable \"" + c.executable + "\"");
    Settings opened = OpenSettings(c.executable);
    EXPECT_EQ(opened.ProgramDir, c.dir);
    EXPECT_EQ(opened.SettingsPath, c.path);
    ASSERT_NE(opened.SettingsFile, nullptr);
    EXPECT_EQ(opened.SettingsFile->path(), c.path);
  }
}

TEST(ExecutablePath, NamesThisTestProgram) {
  std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("settings_test"), std::string::npos) << path;
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

class ReadDelayTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  testing_support::TempDir dir_;
  // Opened as the program opens it, for an executable in the temp directory.
  Settings opened_ = OpenSettings(dir_.File("mouse"));
};

TEST_F(ReadDelayTest, UsableDelaysOnlyElseFive) {
  struct Case {
    std::string value;
    std::int32_t delay;
  };
  const Case cases[] = {
      {"7", 7},
      {"1", 1},
      {" 12", 12},
      {"$10", 16},
      {"4294967", 4294967},  // the longest that fits in 32-bit milliseconds
      {"4294968", 5},
      {"2147483647", 5},
      {"0", 5},
      {"-1", 5},
      {"-2147483648", 5},
      {"$FFFFFFFF", 5},
      {"", 5},
      {"seven", 5},
      {"7 s", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("Delay=" + c.value);
    dir_.Write("setting.ini", "[MouseSetting]\nDelay=" + c.value + "\n");
    EXPECT_EQ(ReadDelay(*opened_.SettingsFile), c.delay);
  }
}

TEST_F(ReadDelayTest, SeesTheFileAsItIsAtEachCall) {
  const SettingsFile& file = *opened_.SettingsFile;
  EXPECT_EQ(ReadDelay(file), kDefaultDelaySeconds) << "no file yet";
  EXPECT_FALSE(dir_.Exists("setting.ini")) << "reading created the file";

  dir_.Write("setting.ini", "[MouseSetting]\nDelay=7\n");
  EXPECT_EQ(ReadDelay(file), 7);
  dir_.Write("setting.ini", "[MouseSetting]\nDelay=9\n");
  EXPECT_EQ(ReadDelay(file), 9) << "edited in place";

  dir_.Write("new.ini", "[MouseSetting]\nDelay=11\n");
  ASSERT_EQ(std::rename(dir_.File("new.ini").c_str(),
                        dir_.File("setting.ini").c_str()),
            0);
  EXPECT_EQ(ReadDelay(file), 11) << "replaced by another file";

  dir_.Write("setting.ini", "[MouseSetting]\nOther=7\n");
  EXPECT_EQ(ReadDelay(file), kDefaultDelaySeconds) << "key removed";

  ASSERT_EQ(std::remove(dir_.File("setting.ini").c_str()), 0);
  EXPECT_EQ(ReadDelay(file), kDefaultDelaySeconds) << "file removed";
  EXPECT_FALSE(dir_.Exists("setting.ini")) << "reading re-created the file";

  dir_.Write("setting.ini", "[MouseSetting]\nDelay=3\n");
  EXPECT_EQ(ReadDelay(file), 3) << "file back";
}

}  // namespace
}  // namespace settings
