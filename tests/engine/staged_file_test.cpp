#include "engine/staged_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace gw {
namespace {

namespace fs = std::filesystem;

class StagedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gw-staged-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }
  std::string bytesOf(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
};

TEST_F(StagedFileTest, TheTemporaryFileIsHiddenInTheFolderUntilItIsRenamed) {
  StagedFile staged(folder_);
  ASSERT_TRUE(staged.valid());
  ASSERT_TRUE(staged.fill("bytes"));
  ASSERT_EQ(names().size(), 1u);
  EXPECT_EQ(names().begin()->rfind(StagedFile::kTemporaryPrefix, 0), 0u);
  EXPECT_EQ(staged.commitAsNew(folder_ / "a.txt"), StagedFile::Placement::Placed);
  EXPECT_EQ(names(), std::set<std::string>{"a.txt"});
  EXPECT_EQ(bytesOf("a.txt"), "bytes");
}

TEST_F(StagedFileTest, ANewNameIsNeverTakenFromWhatHoldsItButAPlainRenameReplacesIt) {
  std::ofstream(folder_ / "a.txt") << "earlier";
  StagedFile staged(folder_);
  ASSERT_TRUE(staged.fill("later"));
  EXPECT_EQ(staged.commitAsNew(folder_ / "a.txt"), StagedFile::Placement::NameInUse);
  EXPECT_EQ(bytesOf("a.txt"), "earlier");
  EXPECT_TRUE(staged.commitAs(folder_ / "a.txt"));
  EXPECT_EQ(bytesOf("a.txt"), "later");
  EXPECT_EQ(names(), std::set<std::string>{"a.txt"});
}

TEST_F(StagedFileTest, WhatIsNotRenamedIntoPlaceIsRemoved) {
  {
    StagedFile filled(folder_);
    ASSERT_TRUE(filled.fill("never placed"));
    // A rename into a folder that is not there fails; the file stays temporary.
    EXPECT_FALSE(filled.commitAs(folder_ / "missing" / "a.txt"));
    EXPECT_EQ(filled.commitAsNew(folder_ / "missing" / "a.txt"), StagedFile::Placement::Failed);
  }
  {
    StagedFile unfilled(folder_);
    EXPECT_EQ(unfilled.commitAsNew(folder_ / "a.txt"), StagedFile::Placement::Failed);
  }
  EXPECT_TRUE(names().empty());

  StagedFile nowhere(folder_ / "missing");
  EXPECT_FALSE(nowhere.valid());
  EXPECT_FALSE(nowhere.fill("x"));
}

TEST_F(StagedFileTest, AFailureStillSaysWhyAfterTheTemporaryFileIsGone) {
  std::ofstream(folder_ / "plain") << "not a folder";
  {
    StagedFile staged(folder_);
    ASSERT_TRUE(staged.fill("x"));
    EXPECT_FALSE(staged.commitAs(folder_ / "plain" / "a.txt"));
    EXPECT_EQ(errno, ENOTDIR);
    // Someone else already removed the temporary file: removing it again fails on its own.
    for (const std::string& name : names()) {
      if (name != "plain") {
        fs::remove(folder_ / name);
      }
    }
  }
  EXPECT_EQ(errno, ENOTDIR);
}

}  // namespace
}  // namespace gw
