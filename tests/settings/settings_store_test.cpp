#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "settings/settings_values.h"
#include "text/charset.h"
#include "unprivileged_child.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ExitStatusOf;
using testing::RunWithoutWriteAccessToFolders;
using testing::StartWithoutWriteAccessToFolders;

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// A fresh folder under the temporary directory, removed with everything in it.
class TempFolder {
 public:
  explicit TempFolder(const fs::path& base = fs::temp_directory_path()) {
    std::string pattern = (base / "gw-settings-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(std::string_view name) const { return path_ / name; }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A store in file mode on a file that starts with `initial` bytes.
class StoreOnFile : public ::testing::Test {
 protected:
  void Open(std::string_view initial) {
    WriteFile(file_, initial);
    ASSERT_TRUE(store_.setPath(file_, 0));
  }
  // The file always holds exactly what the store holds.
  std::string OnDisk() {
    const std::string bytes = ReadFile(file_);
    EXPECT_EQ(bytes, store_.allText());
    return bytes;
  }

  TempFolder folder_;
  fs::path file_ = folder_ / "settings.ini";
  SettingsStore store_;
};

TEST_F(StoreOnFile, FirstWritesPutTheNewestKeyFirstAndNewSectionsAtTheEnd) {
  Open("");
  EXPECT_EQ(store_.writeEntry("S", "a", "1"), SettingsStore::kDone);
  EXPECT_EQ(store_.writeEntry("S", "b", "2"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[S]\r\nb=2\r\na=1");
  EXPECT_EQ(store_.writeEntry("T", "c", "3"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3");
  EXPECT_EQ(store_.readEntry("S", "a", "x", true), "1");
  EXPECT_EQ(store_.readEntry("T", "a", "x", true), "x");
}

TEST_F(StoreOnFile, RewritingAValueLeavesEveryOtherByteAlone) {
  // A hand-edited file: blank lines, blanks around "=", a bare LF, a comment-like line and no
  // line break at the end.
  const std::string before =
      "[A]\r\n\r\nk=old\r\n k = spaced\r\n;note\nx=1\r\n[B]\r\nk=other\r\nlast=end";
  Open(before);
  EXPECT_EQ(store_.writeEntry("A", "k", "a much longer value"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(),
            "[A]\r\n\r\nk=a much longer value\r\n k = spaced\r\n;note\nx=1\r\n[B]\r\nk=other\r\n"
            "last=end");
  EXPECT_EQ(store_.writeEntry("B", "last", ""), SettingsStore::kDone);
  EXPECT_EQ(store_.writeEntry("A", "k", "old"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\n\r\nk=old\r\n k = spaced\r\n;note\nx=1\r\n[B]\r\nk=other\r\nlast=");
  // " k " is another key than "k"; the line with the bare LF is one line.
  EXPECT_EQ(store_.readEntry("A", " k ", "", false), " spaced");
  EXPECT_EQ(store_.readEntry("A", ";note\nx", "", false), "1");
}

TEST_F(StoreOnFile, ABracketedValueIsNoHeader) {
  Open("[A]\r\nx=[S]\r\nk=in A");
  EXPECT_EQ(store_.readEntry("S", "k", "none", true), "none");
  EXPECT_EQ(store_.writeEntry("S", "k", "in S"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\nx=[S]\r\nk=in A\r\n[S]\r\nk=in S");
  EXPECT_EQ(store_.readEntry("S", "k", "none", true), "in S");
  EXPECT_EQ(store_.readEntry("A", "k", "none", true), "in A");
}

TEST_F(StoreOnFile, AKeyOfALaterSectionIsNotTheEarlierSectionsKey) {
  Open("[A]\r\na=1\r\n[B]\r\nk=2");
  EXPECT_EQ(store_.readEntry("A", "k", "default", true), "default");
  EXPECT_EQ(store_.writeEntry("A", "k", "3"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\nk=3\r\na=1\r\n[B]\r\nk=2");
  // Only the first header of a name counts.
  Open("[A]\r\nx=1\r\n[A]\r\nk=2");
  EXPECT_EQ(store_.readEntry("A", "k", "default", true), "default");
  // A "[" line holding a CR LF before its "]" does not end the section.
  Open("[A]\r\n[no\r\nheader]\r\nk=2");
  EXPECT_EQ(store_.readEntry("A", "k", "default", true), "2");
  EXPECT_EQ(store_.findSectionHeader(0, store_.allText().size()), -1);
}

TEST_F(StoreOnFile, TypedValuesUseTheProgramsSpelling) {
  Open("");
  const std::string section = G("基本配置");
  store_.setSection(section);
  const std::string twoLines = G("第一行\r\n第二行\r\n");
  EXPECT_TRUE(store_.writeText("t", twoLines));
  EXPECT_TRUE(store_.writeNumber("n", 0.5));
  EXPECT_TRUE(store_.writeNumber("m", 1e6));
  EXPECT_TRUE(store_.writeNumber("i", -1));
  EXPECT_TRUE(store_.writeBool("yes", true));
  EXPECT_TRUE(store_.writeBool("no", false));
  EXPECT_TRUE(
      store_.writeDateTime("when", std::chrono::sys_days{2024y / 2 / 29} + 13h + 5min + 9s));
  EXPECT_EQ(OnDisk(), "[" + section + "]\r\nwhen=2024-02-29 13:05:09\r\nno=" + G("假") +
                          "\r\nyes=" + G("真") +
                          "\r\ni=-1\r\nm=1000000\r\nn=0.5\r\nt=" + G("第一行┊*┊第二行┊*┊"));
  EXPECT_EQ(store_.readText("t", ""), twoLines);
  EXPECT_EQ(store_.readNumber("n", 7), 0.5);
  EXPECT_EQ(store_.readNumber("m", 7), 1e6);
  EXPECT_TRUE(store_.readBool("yes", false));
  EXPECT_FALSE(store_.readBool("no", true));
  EXPECT_EQ(store_.readDateTime("when", {}),
            std::chrono::sys_days{2024y / 2 / 29} + 13h + 5min + 9s);
}

TEST(StoredValues, NumbersAreShortAndReadLikeATextToNumberConversion) {
  EXPECT_EQ(FormatStoredNumber(2), "2");
  EXPECT_EQ(FormatStoredNumber(0.1), "0.1");
  EXPECT_EQ(FormatStoredNumber(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(FormatStoredNumber(1e300), "1e+300");
  EXPECT_EQ(ParseStoredNumber(FormatStoredNumber(1e300)), 1e300);
  EXPECT_EQ(ParseStoredNumber("12abc"), 12);
  EXPECT_EQ(ParseStoredNumber(" -3.5"), -3.5);
  EXPECT_EQ(ParseStoredNumber("abc"), 0);
  EXPECT_EQ(ParseStoredNumber("inf"), 0);
  EXPECT_EQ(ParseStoredNumber("0x10"), 0);
}

TEST_F(StoreOnFile, HandEditedAndEmptyValuesReadAsTheDefault) {
  Open("[S]\r\nyes=" + G("是") + "\r\nno=" + G("假") + "\r\nempty=\r\nword=abc\r\nwhen=2023-02-30");
  store_.setSection("S");
  // Anything but "真" is false for readBool; anything but "假" is true for readBoolUnlessFalse.
  EXPECT_FALSE(store_.readBool("yes", true));
  EXPECT_TRUE(store_.readBoolUnlessFalse("yes", false));
  EXPECT_FALSE(store_.readBoolUnlessFalse("no", true));
  EXPECT_EQ(store_.readNumber("word", 5), 0);
  const auto fallback = std::chrono::sys_days{2000y / 1 / 1} + 0s;
  EXPECT_EQ(store_.readDateTime("when", fallback), fallback);
  // An empty value is the same as none, whatever the kind.
  EXPECT_EQ(store_.readText("empty", "d"), "d");
  EXPECT_EQ(store_.readNumber("empty", 5), 5);
  EXPECT_TRUE(store_.readBool("empty", true));
  EXPECT_FALSE(store_.readBoolUnlessFalse("empty", false));
  EXPECT_EQ(store_.readDateTime("empty", fallback), fallback);
  EXPECT_EQ(store_.readEntry("S", "empty", "d", false), "");
  // A default with line breaks comes back unchanged.
  EXPECT_EQ(store_.readText("missing", "a\r\nb"), "a\r\nb");
}

TEST_F(StoreOnFile, DeletingReportsWhatWasMissing) {
  const std::string before = "[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n[C]\r\nd=4";
  Open(before);
  EXPECT_EQ(store_.deleteEntry("X", "a"), SettingsStore::kSectionNotFound);
  EXPECT_EQ(store_.deleteEntry("A", "c"), SettingsStore::kKeyNotFound);
  EXPECT_EQ(store_.deleteEntry("A", "zz"), SettingsStore::kKeyNotFound);
  EXPECT_EQ(OnDisk(), before);
  EXPECT_EQ(store_.deleteEntry("A", "a"), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\nb=2\r\n[B]\r\nc=3\r\n[C]\r\nd=4");
  EXPECT_EQ(store_.deleteEntry("B", ""), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\nb=2\r\n[C]\r\nd=4");
  EXPECT_EQ(store_.deleteEntry("C", ""), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[A]\r\nb=2\r\n");
}

TEST_F(StoreOnFile, RenamingChangesOnlyTheName) {
  Open("[A]\r\nk=1\r\n[B]\r\nk=2");
  EXPECT_EQ(store_.renameKey("B", "k", "key"), SettingsStore::kDone);
  EXPECT_EQ(store_.renameSection("A", G("甲")), SettingsStore::kDone);
  EXPECT_EQ(OnDisk(), "[" + G("甲") + "]\r\nk=1\r\n[B]\r\nkey=2");
  EXPECT_EQ(store_.renameSection("A", "Z"), SettingsStore::kSectionNotFound);
  EXPECT_EQ(store_.renameKey("B", "k", "z"), SettingsStore::kKeyNotFound);
}

TEST_F(StoreOnFile, ListingsFollowTheSections) {
  Open("[A]\r\nk=1\r\nx=\r\n[B]\r\nk=12\r\ny=1\r\n[B2]\r\nk=");
  EXPECT_EQ(store_.listSections("", ""), (std::vector<std::string>{"A", "B", "B2"}));
  EXPECT_EQ(store_.listSections("B", "2"), (std::vector<std::string>{"B"}));
  EXPECT_EQ(store_.listSectionsHavingKey("k"), (std::vector<std::string>{"A", "B", "B2"}));
  EXPECT_EQ(store_.listSectionsHavingKey("y"), (std::vector<std::string>{"B"}));
  EXPECT_EQ(store_.listKeysByValue("1", ""), (std::vector<std::string>{"k", "k", "y"}));
  EXPECT_EQ(store_.listKeysByValue("", ""), (std::vector<std::string>{"x", "k"}));
  EXPECT_EQ(store_.listKeysByValue("1", "B"), (std::vector<std::string>{"k", "y"}));
  EXPECT_EQ(store_.listKeys("", "", "B", "", ""), (std::vector<std::string>{"k", "y"}));
  EXPECT_EQ(store_.listKeys("", "k", "", "", ""), (std::vector<std::string>{"x", "y"}));
}

TEST_F(StoreOnFile, AMissingFileAndItsFolderAreCreatedOnOpen) {
  const fs::path nested = folder_ / "config" / "gathwrite" / "s.ini";
  SettingsStore store;
  EXPECT_TRUE(store.setPath(nested, 0));
  EXPECT_TRUE(fs::is_regular_file(nested));
  EXPECT_EQ(fs::file_size(nested), 0u);
  EXPECT_EQ(store.currentPath(), nested);
  EXPECT_FALSE(SettingsStore().setPath(folder_ / "r.ini", 2));
}

TEST_F(StoreOnFile, AFileThatCannotBeReadIsNeverReplaced) {
  fs::create_directory(file_);
  EXPECT_FALSE(store_.setPath(file_, 0));
  EXPECT_TRUE(store_.isReadOnly());
  EXPECT_EQ(store_.writeEntry("S", "k", "v"), SettingsStore::kFailed);
  EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(StoreOnFile, ReplacedFilesKeepTheirPermissionsAndLinks) {
  const fs::path real = folder_ / "real.ini";
  WriteFile(real, "[S]\r\nk=1");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(real, file_);
  ASSERT_TRUE(store_.setPath(file_, 0));
  EXPECT_EQ(store_.writeEntry("S", "k", "2"), SettingsStore::kDone);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(ReadFile(real), "[S]\r\nk=2");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(StoreOnFile, AValueEndsAtItsFirstZeroByte) {
  using namespace std::string_literals;
  Open("[S]\r\ntext=<q>\0<x>\r\nflag="s + G("真") + "\0x\r\nbare=\0b\r\nlines=a"s +
       std::string(kStoredLineBreak) + "b\0c"s);
  store_.setSection("S");
  EXPECT_EQ(store_.readText("text", "d"), "<q>");
  EXPECT_TRUE(store_.readBool("flag", false));
  EXPECT_EQ(store_.readText("lines", ""), "a\r\nb");
  // Nothing before the zero byte: the same as an empty value.
  EXPECT_EQ(store_.readText("bare", "d"), "d");
  EXPECT_EQ(store_.readNumber("bare", 5), 5);
}

TEST_F(StoreOnFile, ByteValuesLiveInFilesNamedAfterSectionAndKey) {
  Open("");
  store_.setSection(G("随机词组"));
  EXPECT_EQ(store_.readBytes(G("列表"), "none"), "none");
  EXPECT_TRUE(store_.writeBytes(G("列表"), std::string("a\0b", 3)));
  const fs::path expected = folder_ / "inibin" / "随机词组-列表.ibn";
  EXPECT_EQ(ReadFile(expected), std::string("a\0b", 3));
  EXPECT_EQ(store_.readBytes(G("列表"), "none"), std::string("a\0b", 3));
  EXPECT_TRUE(store_.writeBytes("../up", ""));
  EXPECT_TRUE(fs::exists(folder_ / "inibin" / "随机词组-.._up.ibn"));
  EXPECT_EQ(store_.readBytes("../up", "empty"), "empty");
  EXPECT_EQ(OnDisk(), "");
}

TEST(SettingsStoreMemory, EditsStayInMemoryUntilSaved) {
  TempFolder folder;
  const fs::path file = folder / "m.ini";
  WriteFile(file, "[S]\r\nk=1");
  SettingsStore store;
  ASSERT_TRUE(store.setPath(file, 1));
  EXPECT_EQ(store.writeEntry("S", "k", "2"), SettingsStore::kDone);
  EXPECT_TRUE(store.setAllText("\r\n[T]", true));
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=1");
  EXPECT_TRUE(store.saveAs());
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=2\r\n[T]");
  EXPECT_TRUE(store.saveAs(folder / "copy.ini"));
  EXPECT_EQ(ReadFile(folder / "copy.ini"), "[S]\r\nk=2\r\n[T]");
  WriteFile(file, "[X]");
  EXPECT_TRUE(store.reload());
  EXPECT_EQ(store.allText(), "[X]");
}

// ---- permissions of the file and its folder ----

struct stat StatusOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

TEST_F(StoreOnFile, AFileMarkedReadOnlyIsOnlyReadAndStaysAsItWas) {
  const std::string before = "[S]\r\nk=1";
  WriteFile(file_, before);
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  const struct stat old = StatusOf(file_);

  EXPECT_FALSE(store_.setPath(file_, 0));
  EXPECT_TRUE(store_.isReadOnly());
  EXPECT_EQ(store_.writeAccess(), SettingsStore::WriteAccess::FileReadOnly);
  EXPECT_EQ(store_.readEntry("S", "k", "", true), "1");
  store_.setSection("S");
  EXPECT_EQ(store_.writeEntry("S", "k", "2"), SettingsStore::kFailed);
  EXPECT_FALSE(store_.writeText("other", "x"));
  EXPECT_FALSE(store_.setAllText("", false));
  EXPECT_FALSE(store_.saveAs());
  // An in-memory copy may not write it over either.
  SettingsStore copy;
  ASSERT_TRUE(copy.setPath(file_, 1));
  ASSERT_TRUE(copy.setAllText("[T]", false));
  EXPECT_FALSE(copy.saveAs());

  EXPECT_EQ(ReadFile(file_), before);
  const struct stat now = StatusOf(file_);
  EXPECT_EQ(now.st_ino, old.st_ino);
  EXPECT_EQ(now.st_mode & 07777, 0444u);
  EXPECT_EQ(now.st_gid, old.st_gid);

  // Made writable again, it takes edits as before.
  ASSERT_EQ(::chmod(file_.c_str(), 0644), 0);
  SettingsStore writable;
  EXPECT_TRUE(writable.setPath(file_, 0));
  EXPECT_EQ(writable.writeAccess(), SettingsStore::WriteAccess::Granted);
  EXPECT_EQ(writable.writeEntry("S", "k", "2"), SettingsStore::kDone);
}

TEST_F(StoreOnFile, AReplacedFileKeepsItsOwnerGroupAndMode) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only the superuser can give a file to another owner and group";
  }
  Open("[S]\r\nk=1");
  ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
  ASSERT_EQ(::chown(file_.c_str(), 4321, 8765), 0);
  const ino_t before = StatusOf(file_).st_ino;
  ASSERT_EQ(store_.writeEntry("S", "k", "2"), SettingsStore::kDone);
  const struct stat now = StatusOf(file_);
  ASSERT_NE(now.st_ino, before) << "the file is replaced, not rewritten";
  EXPECT_EQ(now.st_uid, 4321u);
  EXPECT_EQ(now.st_gid, 8765u);
  EXPECT_EQ(now.st_mode & 07777, 0640u);
  EXPECT_EQ(OnDisk(), "[S]\r\nk=2");
}

TEST(SettingsStorePermissions, AWritableFileInAFolderThatTakesNoNewFilesIsEditedInPlace) {
  TempFolder root;
  fs::permissions(root.path(), fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
  const fs::path folder = root / "portable";
  const fs::path file = folder / "s.ini";
  fs::create_directory(folder);
  WriteFile(file, "[S]\r\nk=1\r\n[T]\r\nt=2");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  const ino_t before = StatusOf(file).st_ino;

  const int status = RunWithoutWriteAccessToFolders([&] {
    SettingsStore store;
    if (!store.setPath(file, 0) || store.writeAccess() != SettingsStore::WriteAccess::Granted) {
      return 1;
    }
    if (store.writeEntry("S", "k", "a longer value") != SettingsStore::kDone) {
      return 2;
    }
    // A shorter content leaves nothing of the longer one behind.
    if (store.writeEntry("S", "k", "v") != SettingsStore::kDone) {
      return 3;
    }
    // The file itself carries the lock where no lock file can be made.
    SettingsStore second;
    if (second.setPath(file, 0) ||
        second.writeAccess() != SettingsStore::WriteAccess::HeldElsewhere) {
      return 4;
    }
    return 0;
  });
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=v\r\n[T]\r\nt=2");
  EXPECT_EQ(StatusOf(file).st_ino, before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "no lock file and no temporary file in the folder";
}

TEST(SettingsStorePermissions, AStoreHoldingTheFileItselfKeepsOutOneThatCanMakeALockFile) {
  TempFolder root;
  ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);
  const fs::path folder = root / "portable";
  const fs::path file = folder / "s.ini";
  fs::create_directory(folder);
  WriteFile(file, "[S]\r\nk=1");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  int toParent[2];
  int toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  // The first copy starts while the folder takes no new files: it locks the file itself.
  const pid_t child = StartWithoutWriteAccessToFolders([&] {
    SettingsStore store;
    const char answer = store.setPath(file, 0) ? '1' : '0';
    char go = 0;
    if (::write(toParent[1], &answer, 1) != 1 || ::read(toChild[0], &go, 1) != 1) {
      return 2;
    }
    return 0;
  });
  char answer = 0;
  ASSERT_EQ(::read(toParent[0], &answer, 1), 1);
  EXPECT_EQ(answer, '1');
  // The folder takes new files again: a second copy makes the lock file, but the first copy
  // still has the file.
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  {
    SettingsStore second;
    EXPECT_FALSE(second.setPath(file, 0));
    EXPECT_EQ(second.writeAccess(), SettingsStore::WriteAccess::HeldElsewhere);
    EXPECT_EQ(second.writeEntry("S", "k", "second"), SettingsStore::kFailed);
  }
  ASSERT_EQ(::write(toChild[1], "x", 1), 1);
  EXPECT_EQ(ExitStatusOf(child), 0);
  for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
    ::close(fd);
  }
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=1");
  SettingsStore third;
  EXPECT_TRUE(third.setPath(file, 0));
  EXPECT_EQ(third.writeEntry("S", "k", "third"), SettingsStore::kDone);
}

// ---- the pending-edit queue ----

// Makes every replacement of the settings file fail by putting a plain file where its folder
// was, and puts the folder back.
class FolderSwap {
 public:
  explicit FolderSwap(fs::path folder) : folder_(std::move(folder)) {}
  void Break() {
    fs::rename(folder_, Aside());
    WriteFile(folder_, "not a folder");
  }
  void Mend() {
    fs::remove(folder_);
    fs::rename(Aside(), folder_);
  }

 private:
  fs::path Aside() const { return folder_.string() + ".aside"; }
  fs::path folder_;
};

TEST(SettingsStoreQueue, WritesFromTheFailureHandlerFollowTheFailedEdit) {
  TempFolder root;
  const fs::path folder = root / "cfg";
  const fs::path file = folder / "s.ini";
  SettingsStore store;
  ASSERT_TRUE(store.setPath(file, 0));
  store.setSection("S");
  ASSERT_TRUE(store.writeText("first", "1"));

  FolderSwap swap(folder);
  std::vector<std::string> reported;
  std::vector<int> queuedResults;
  store.setFailureHandler([&](std::string_view content) {
    reported.emplace_back(content);
    swap.Mend();
    queuedResults.push_back(store.writeEntry("S", "a", "from handler"));
    queuedResults.push_back(store.writeEntry("S", "b", "after it"));
  });
  swap.Break();
  EXPECT_FALSE(store.writeText("lost", "x"));
  EXPECT_EQ(reported, (std::vector<std::string>{"[S]\r\nfirst=1"}));
  EXPECT_EQ(queuedResults, (std::vector<int>{SettingsStore::kQueued, SettingsStore::kQueued}));
  EXPECT_EQ(ReadFile(file), "[S]\r\nb=after it\r\na=from handler\r\nfirst=1");
  EXPECT_EQ(store.allText(), ReadFile(file));
  EXPECT_EQ(store.runPendingEdits(), SettingsStore::kFailed);
}

TEST(SettingsStoreBatch, ABatchReachesTheFileWholeOrNotAtAll) {
  TempFolder root;
  const fs::path folder = root / "cfg";
  const fs::path file = folder / "s.ini";
  SettingsStore store;
  ASSERT_TRUE(store.setPath(file, 0));
  store.setSection("S");
  {
    SettingsStore::Batch batch(store);
    EXPECT_TRUE(store.writeText("a", "1"));
    EXPECT_TRUE(store.writeText("b", "2"));
    EXPECT_EQ(store.readText("a", ""), "1");
    EXPECT_EQ(ReadFile(file), "");
    EXPECT_TRUE(batch.finish());
  }
  EXPECT_EQ(ReadFile(file), "[S]\r\nb=2\r\na=1");

  FolderSwap swap(folder);
  int failures = 0;
  store.setFailureHandler([&](std::string_view) { ++failures; });
  SettingsStore::Batch batch(store);
  EXPECT_TRUE(store.writeText("a", "changed"));
  swap.Break();
  EXPECT_FALSE(batch.finish());
  swap.Mend();
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(store.allText(), "[S]\r\nb=2\r\na=1");
  EXPECT_EQ(ReadFile(file), "[S]\r\nb=2\r\na=1");
}

// ---- a second copy of the program ----

TEST(SettingsStoreLock, ASecondStoreOnTheSameFileOnlyReads) {
  TempFolder folder;
  const fs::path file = folder / "s.ini";
  SettingsStore first;
  ASSERT_TRUE(first.setPath(file, 0));
  ASSERT_EQ(first.writeEntry("S", "k", "mine"), SettingsStore::kDone);

  SettingsStore second;
  EXPECT_FALSE(second.setPath(file, 0));
  EXPECT_TRUE(second.isReadOnly());
  EXPECT_FALSE(first.isReadOnly());
  EXPECT_EQ(second.readEntry("S", "k", "", true), "mine");
  second.setSection("S");
  EXPECT_EQ(second.writeEntry("S", "k", "theirs"), SettingsStore::kFailed);
  EXPECT_FALSE(second.writeText("other", "x"));
  EXPECT_EQ(second.deleteEntry("S", "k"), SettingsStore::kFailed);
  EXPECT_FALSE(second.setAllText("", false));
  EXPECT_FALSE(second.saveAs());
  EXPECT_FALSE(second.writeBytes("b", "x"));
  EXPECT_EQ(second.allText(), "[S]\r\nk=mine");
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=mine");

  first.close();
  SettingsStore third;
  EXPECT_TRUE(third.setPath(file, 0));
  EXPECT_EQ(third.writeEntry("S", "k", "third"), SettingsStore::kDone);
}

TEST(SettingsStoreLock, AnotherProcessHoldingTheFileKeepsItsBytes) {
  TempFolder folder;
  const fs::path file = folder / "s.ini";
  int toParent[2];
  int toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SettingsStore store;
    const bool ok = store.setPath(file, 0) && store.writeEntry("S", "k", "child") == 0;
    const char answer = ok ? '1' : '0';
    char go = 0;
    if (::write(toParent[1], &answer, 1) != 1 || ::read(toChild[0], &go, 1) != 1) {
      ::_exit(2);
    }
    ::_exit(0);
  }
  char answer = 0;
  ASSERT_EQ(::read(toParent[0], &answer, 1), 1);
  ASSERT_EQ(answer, '1');
  {
    SettingsStore store;
    EXPECT_FALSE(store.setPath(file, 0));
    EXPECT_TRUE(store.isReadOnly());
    EXPECT_EQ(store.writeEntry("S", "k", "parent"), SettingsStore::kFailed);
    EXPECT_EQ(ReadFile(file), "[S]\r\nk=child");
  }
  ASSERT_EQ(::write(toChild[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
    ::close(fd);
  }
  // The lock ends with the process that held it.
  SettingsStore store;
  EXPECT_TRUE(store.setPath(file, 0));
  EXPECT_EQ(store.writeEntry("S", "k", "parent"), SettingsStore::kDone);
}

// ---- a writer killed at any moment ----

constexpr int kCrashKeys = 10;

std::string CrashKey(int j) {
  return "k" + std::to_string(j);
}

// Values of varying length with a line break, so that every version has another size.
std::string CrashValue(int round, int j) {
  return std::to_string(round) + ":" +
         std::string(static_cast<std::size_t>((round * 131 + j * 17) % 3000), char('a' + j)) +
         "\r\nend";
}

// The file after round `round` has written its first `written` keys.
std::string CrashVersion(int round, int written) {
  std::string bytes = "[" + G("崩溃") + "]";
  for (int j = kCrashKeys - 1; j >= 0; --j) {
    if (j < written) {
      bytes += "\r\n" + CrashKey(j) + "=" + EncodeStoredText(CrashValue(round, j));
    } else if (round > 0) {
      bytes += "\r\n" + CrashKey(j) + "=" + EncodeStoredText(CrashValue(round - 1, j));
    }
  }
  return bytes;
}

// Writes round after round until it is killed; with `batched`, each round is one batch.
[[noreturn]] void RunCrashWriter(const fs::path& file, bool batched) {
  ::alarm(20);
  SettingsStore store;
  if (!store.setPath(file, 0)) {
    ::_exit(3);
  }
  store.setSection(G("崩溃"));
  for (int round = 0;; ++round) {
    SettingsStore::Batch batch(store);
    if (!batched) {
      batch.finish();
    }
    for (int j = 0; j < kCrashKeys; ++j) {
      store.writeText(CrashKey(j), CrashValue(round, j));
    }
  }
}

// The round whose writes `bytes` shows, when `bytes` is exactly one whole version (with
// `wholeRounds`, only the version at the end of a round); -1 for an empty file, -2 for anything
// else.
int WholeVersionRound(const std::string& bytes, bool wholeRounds) {
  if (bytes.empty()) {
    return -1;
  }
  const std::size_t at = bytes.find(CrashKey(0) + "=");
  if (at == std::string::npos) {
    return -2;
  }
  const int round = std::atoi(bytes.c_str() + at + CrashKey(0).size() + 1);
  for (int written = wholeRounds ? kCrashKeys : 1; written <= kCrashKeys; ++written) {
    if (bytes == CrashVersion(round, written)) {
      return round;
    }
  }
  return -2;
}

TEST(SettingsStoreCrash, AWriterKilledAtAnyMomentLeavesAWholeVersion) {
  // In memory the writer gets through many versions before it is killed; a killed process
  // leaves the same file behind on any file system.
  TempFolder folder(fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path());
  const fs::path file = folder / "crash.ini";
  std::mt19937 random(20240229);
  std::uniform_int_distribution<int> delayMicroseconds(2000, 60000);
  int roundsWithWrites = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const bool batched = attempt % 2 == 1;
    fs::remove(file);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RunCrashWriter(file, batched);
    }
    ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own";
    const std::string bytes = fs::exists(file) ? ReadFile(file) : std::string();
    const int round = WholeVersionRound(bytes, batched);
    ASSERT_NE(round, -2) << "attempt " << attempt << (batched ? " (batched)" : "")
                         << ": torn file of " << bytes.size() << " bytes";
    roundsWithWrites += round >= 1 ? 1 : 0;
  }
  EXPECT_GT(roundsWithWrites, 0) << "the writer was never killed in the middle of its work";
  // The next store cleans up what the killed writers left in the folder.
  SettingsStore store;
  ASSERT_TRUE(store.setPath(file, 0));
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "crash.ini" || name == "crash.ini.lock") << name;
  }
}

}  // namespace
}  // namespace gw
