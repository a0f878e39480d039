// The documents jobcontrol-print sends are the files it opened and checked: a file renamed
// over the path is not what goes, and one rewritten in place is checked again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hosts/gtk_print/document_file.h"

namespace jc::gtk {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPdf = "%PDF-1.4\n% the checked document\n%%EOF\n";

class DocumentFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = (fs::temp_directory_path() / "jc-document-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(dir.data()));
    dir_ = dir;
    std::ofstream(dir_ / "doc.pdf") << kPdf;
  }
  void TearDown() override { fs::remove_all(dir_); }
  // Everything a reader of the descriptor gets, from where it stands.
  static std::string readAll(int fd) {
    std::string bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
    return bytes;
  }
  fs::path dir_;
};

TEST_F(DocumentFileTest, WhatIsSentIsTheCheckedFileWhateverThePathHoldsLater) {
  auto document = DocumentFile::open((dir_ / "doc.pdf").string());
  ASSERT_TRUE(document) << document.message();
  // A script renamed over the path while the dialog is open.
  std::ofstream(dir_ / "script") << "#!/bin/sh\necho owned\n";
  fs::rename(dir_ / "script", dir_ / "doc.pdf");
  char skipped[4];
  ASSERT_EQ(::read(document->descriptor(), skipped, sizeof skipped), 4);  // a reader went before
  ASSERT_TRUE(document->recheck()) << document->recheck().message();
  EXPECT_EQ(readAll(document->descriptor()), kPdf);
}

TEST_F(DocumentFileTest, AFileRewrittenInPlaceIsCheckedAgainBeforeSending) {
  auto document = DocumentFile::open((dir_ / "doc.pdf").string());
  ASSERT_TRUE(document) << document.message();
  // An ELF header written over the first bytes of the same file.
  std::fstream(dir_ / "doc.pdf", std::ios::in | std::ios::out | std::ios::binary)
      << std::string("\x7f") + "ELF";
  Result<void> checked = document->recheck();
  ASSERT_FALSE(checked);
  EXPECT_EQ(checked.message(), (dir_ / "doc.pdf").string() + ": not a PDF or PostScript file");
}

}  // namespace
}  // namespace jc::gtk
