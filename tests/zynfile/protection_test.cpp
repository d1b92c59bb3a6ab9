// Password-protected binary files.

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "zyn_test_util.h"

namespace {

using zyn_test::Bytes;

const char kSecret[] = "TopSecretPayloadText";

class ZynProtectionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing_support::TempDir;
    path_ = dir_->File("locked.zyn");
    VZynFile f;
    f.SetPassword("correct horse");
    ASSERT_TRUE(f.CreateFile(path_, true, true, "Camera"));
    EXPECT_TRUE(f.IsProtected());
    f.FieldWriteC("Secret", kSecret);
    f.FieldWriteBlockBegin("Block");
    f.FieldWriteI("Inner", 77);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    ASSERT_TRUE(f.CloseFile()) << f.GetErrorMessage();
    bytes_ = testing_support::ReadFileBytes(path_);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static testing_support::TempDir* dir_;
  static std::string path_;
  static Bytes bytes_;
};

testing_support::TempDir* ZynProtectionTest::dir_ = nullptr;
std::string ZynProtectionTest::path_;
Bytes ZynProtectionTest::bytes_;

TEST_F(ZynProtectionTest, ReadsBackWithThePassword) {
  // The header stays readable; the data does not appear in the clear.
  EXPECT_EQ(bytes_.compare(0, 20, "Morvane ZYN Binary  "), 0);
  EXPECT_NE(bytes_.find("EncryptionType"), Bytes::npos);
  EXPECT_EQ(bytes_.find(kSecret), Bytes::npos);
  EXPECT_EQ(bytes_.find("Inner"), Bytes::npos);

  VZynFile f;
  f.SetPassword("correct horse");
  ASSERT_TRUE(f.OpenFromMemory(bytes_.data(), bytes_.size())) << f.GetErrorMessage();
  EXPECT_TRUE(f.IsProtected());
  EXPECT_EQ(f.Header().camera_name, "Camera");
  EXPECT_EQ(f.FieldReadC("Secret", ""), kSecret);
  ASSERT_TRUE(f.FieldReadBegin("Block"));
  ASSERT_TRUE(f.FieldReadBlockBegin());
  EXPECT_EQ(f.FieldReadI("Inner", 0), 77);
  EXPECT_EQ(f.SectionCheck(), kZynSectionVerified);
  EXPECT_FALSE(f.CreateSection(false));
}

TEST_F(ZynProtectionTest, WrongPasswordOrTamperingGivesNoData) {
  struct Row {
    const char* what;
    const char* password;
    long flip;  // byte to alter, counted from the end when negative; 0: none
  };
  const Row rows[] = {
      {"wrong password", "correct horse!", 0},
      {"tampered data", "correct horse", -200},
      {"tampered last byte", "correct horse", -1},
      {"tampered header extension", "correct horse", static_cast<long>(bytes_.find(kVZynCreator) + 2)},
  };
  for (const Row& r : rows) {
    Bytes m = bytes_;
    if (r.flip) {
      size_t at = r.flip < 0 ? m.size() - static_cast<size_t>(-r.flip) : static_cast<size_t>(r.flip);
      m[at] = static_cast<char>(m[at] ^ 0x01);
    }
    VZynFile f;
    f.SetPassword(r.password);
    bool ok = f.OpenFromMemory(m.data(), m.size());
    EXPECT_FALSE(ok) << r.what;
    EXPECT_EQ(f.GetErrorCode(), kZynErrorCrc) << r.what << ": " << f.GetErrorMessage();
    EXPECT_FALSE(f.FieldReadBegin("Secret")) << r.what;
    EXPECT_EQ(f.FieldReadC("Secret", "none"), "none") << r.what;
  }
}

TEST_F(ZynProtectionTest, WithoutAPasswordOnlyTheHeaderOpens) {
  for (bool check_password : {true, false}) {
    VZynFile f;
    ASSERT_TRUE(f.OpenFile(path_, true, check_password, false)) << f.GetErrorMessage();
    EXPECT_TRUE(f.IsProtected());
    EXPECT_EQ(f.Header().camera_name, "Camera");
    EXPECT_FALSE(f.OpenSection(0));
    EXPECT_EQ(f.GetErrorCode(), kZynErrorPassword) << check_password;
    EXPECT_EQ(f.GetErrorMessage(), "ZYN file is password protected");
    EXPECT_FALSE(f.FieldReadBegin("Secret"));
  }
  EXPECT_STREQ(VZynErrorText(kZynErrorPassword), "File is password protected");
}

// The password is checked while the file opens when the caller asks for it,
// otherwise before the first section opens; never is a byte behind the seal
// used before it is checked. All three ways of opening behave alike.
TEST_F(ZynProtectionTest, ThePasswordIsCheckedAtOpenOrAtTheFirstSection) {
  enum How { kPath, kMemory, kStream };
  struct Row {
    const char* password;
    bool check_password;
    bool opens;      // the open itself succeeds
    int open_code;   // its error code
    bool readable;   // the main section then opens and reads
    int section_code;
  };
  const Row rows[] = {
      {"correct horse", true, true, kZynErrorNone, true, kZynErrorNone},
      {"correct horse", false, true, kZynErrorNone, true, kZynErrorNone},
      {"wrong", true, false, kZynErrorCrc, false, kZynErrorCrc},
      {"wrong", false, true, kZynErrorNone, false, kZynErrorCrc},
      {"", true, true, kZynErrorNone, false, kZynErrorPassword},
      {"", false, true, kZynErrorNone, false, kZynErrorPassword},
  };
  for (How how : {kPath, kMemory, kStream}) {
    for (const Row& r : rows) {
      const std::string what = std::to_string(how) + " \"" + r.password + "\" check " +
                               (r.check_password ? "on" : "off");
      VMemoryStream stream(bytes_.data(), bytes_.size());
      VZynFile f;
      f.SetPassword(r.password);
      bool opened = how == kPath     ? f.OpenFile(path_, true, r.check_password, false)
                    : how == kMemory ? f.OpenFromMemory(bytes_.data(), bytes_.size(), true, r.check_password, false)
                                     : f.OpenFromStream(&stream, true, r.check_password, false);
      ASSERT_EQ(opened, r.opens) << what << ": " << f.GetErrorMessage();
      EXPECT_EQ(f.GetErrorCode(), r.open_code) << what;
      if (!opened) continue;
      EXPECT_EQ(f.Header().camera_name, "Camera") << what;
      EXPECT_EQ(f.OpenSection(0), r.readable) << what;
      EXPECT_EQ(f.GetErrorCode(), r.section_code) << what << ": " << f.GetErrorMessage();
      EXPECT_EQ(f.FieldReadC("Secret", "none"), r.readable ? kSecret : "none") << what;
    }
  }
}

TEST(ZynProtectionSimpleTest, AsciiFilesAreNeverProtected) {
  VMemoryStream stream;
  stream.OpenBuffer();
  VZynFile f;
  f.SetPassword("pw");
  ASSERT_TRUE(f.CreateInStream(&stream, false, true));
  EXPECT_FALSE(f.IsProtected());
  f.FieldWriteC("Plain", "visible");
  ASSERT_TRUE(f.CloseFile());
  Bytes b(stream.buffer().begin(), stream.buffer().end());
  EXPECT_NE(b.find("visible"), Bytes::npos);

  // A protected file needs a password to be written.
  VMemoryStream stream2;
  stream2.OpenBuffer();
  VZynFile g;
  EXPECT_FALSE(g.CreateInStream(&stream2, true, true));
  EXPECT_EQ(g.GetErrorCode(), kZynErrorNotCreated);
}

}  // namespace
