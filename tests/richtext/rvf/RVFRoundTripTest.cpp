// Every document of the tests survives writing and reading back unchanged,
// in binary and in text mode, with style numbers or style names; and the
// stored fixtures (also the fuzzing seeds) read and write back byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/Random.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "tests/richtext/rvf/RVFTestDocuments.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

struct TRoundTripCase {
  const char* Name;
  std::function<void(TCustomRVData&)> Build;
};

const std::vector<TRoundTripCase>& Documents() {
  static const std::vector<TRoundTripCase> cases = {
      {"two-paragraphs",
       [](TCustomRVData& data) {
         data.AppendTextItemW(u"a", 0, 0);
         data.AppendTextItemW(u"b", 0, 0);
       }},
      {"every-kind", [](TCustomRVData& data) { test::BuildEveryKind(data); }},
      {"table",
       [](TCustomRVData& data) {
         data.AppendTextItemW(u"before", 0, 0);
         data.AppendItem({}, test::BuildTable(&data));
         data.AppendTextItemW(u"after", 0, 0);
       }},
      {"empty-paragraphs",
       [](TCustomRVData& data) {
         data.AppendTextItemW(u"", 0, 0);
         data.AppendTextItemW(u"", 0, 0);
         data.AppendItem({}, TRVTableItemInfo::CreateTable(0, 0, &data));
       }},
  };
  return cases;
}

struct TMode {
  const char* Name;
  TRVFOptions Options;
};

const TMode kModes[] = {
    {"binary", kRVFDefaultOptions},
    {"text", kRVFDefaultOptions - TRVFOptions{rvfoSaveBinary}},
    {"names", kRVFDefaultOptions + TRVFOptions{rvfoUseStyleNames, rvfoSaveTextStyles, rvfoSaveParaStyles}},
};

class RVFRoundTripTest : public ::testing::Test {
 protected:
  RVFRoundTripTest() {
    test::AddTestStyles(style_);
    source_.SetRVStyle(&style_);
    target_.SetRVStyle(&style_);
  }

  TRVStyle style_;
  TCustomRVData source_;
  TCustomRVData target_;
};

TEST_F(RVFRoundTripTest, EveryDocumentComesBackUnchanged) {
  for (const TRoundTripCase& document : Documents()) {
    for (const TMode& mode : kModes) {
      SCOPED_TRACE(std::string(document.Name) + " " + mode.Name);
      source_.ClearItems();
      target_.ClearItems();
      document.Build(source_);
      TRVFView view = test::TestView();
      view.RVFOptions = mode.Options;
      std::string stream;
      ASSERT_TRUE(WriteRVF(source_, stream, rvfsmWhole, view));
      ASSERT_TRUE(ReadRVF(target_, stream, 0, true, view));
      EXPECT_EQ(view.RVFWarnings, TRVFWarnings{});
      EXPECT_EQ(test::DeepDump(target_), test::DeepDump(source_));
      std::string again;
      ASSERT_TRUE(WriteRVF(target_, again, rvfsmWhole, view));
      EXPECT_EQ(again, stream) << "writing what was read gives the same bytes";
    }
  }
}

TEST_F(RVFRoundTripTest, NumberedItemsAreNumberedAgainAfterReading) {
  test::BuildEveryKind(source_);
  std::string stream;
  ASSERT_TRUE(WriteRVF(source_, stream, rvfsmWhole, test::TestView()));
  TRVFView view = test::TestView();
  ASSERT_TRUE(ReadRVF(target_, stream, 0, true, view));
  std::string dump = test::DeepDump(target_);
  EXPECT_NE(dump.find("label[(IV)]"), std::string::npos) << "the sequence restarts at 4, in upper Roman";
  EXPECT_NE(dump.find("label[1]"), std::string::npos) << "the footnote and its reference show 1";
  EXPECT_NE(dump.find("label[i]"), std::string::npos) << "the endnote shows i";
  EXPECT_NE(dump.find("list0 lvl1 reset1,3 n3"), std::string::npos) << "the marker restarts at 3";
}

// Documents as the RTF import builds them from office files: tables with
// merged cells, lists, notes, pictures, many styles.
TEST_F(RVFRoundTripTest, ImportedOfficeDocumentsComeBackUnchanged) {
  int documents = 0;
  int withTables = 0;
  for (const char* folder : {"rtf", "rtfimport"}) {
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / folder)) {
      if (entry.path().extension() != ".rtf") continue;
      SCOPED_TRACE(entry.path().filename().string());
      ++documents;
      TRVStyle style;
      TCustomRVData imported;
      imported.SetRVStyle(&style);
      TRVRTFReaderProperties rtf;
      ASSERT_EQ(rtf.LoadRTF(test::ReadFileBytes(entry.path()), imported), 0);
      if (test::DeepDump(imported).find(" table ") != std::string::npos) ++withTables;
      for (TRVFOptions options : {kRVFDefaultOptions, kRVFDefaultOptions - TRVFOptions{rvfoSaveBinary}}) {
        TRVFView view;
        view.RVFOptions = options;
        std::string stream;
        ASSERT_TRUE(WriteRVF(imported, stream, rvfsmWhole, view));
        TCustomRVData read;
        read.SetRVStyle(&style);
        ASSERT_TRUE(ReadRVF(read, stream, 0, true, view));
        EXPECT_EQ(test::DeepDump(read), test::DeepDump(imported));
      }
    }
  }
  EXPECT_GE(documents, 4);
  EXPECT_GE(withTables, 2);
}

// The fixtures are the round-trip documents as written; VARNOLT_WRITE_FIXTURES=1
// writes them again after a deliberate change of the format.
TEST_F(RVFRoundTripTest, FixturesReadAndWriteBackByteForByte) {
  ScopedRandomSeed seed(5);  // list identities are drawn at random
  bool rewrite = std::getenv("VARNOLT_WRITE_FIXTURES") != nullptr;
  for (const TRoundTripCase& document : Documents()) {
    for (const TMode& mode : kModes) {
      std::string name = std::string(document.Name) + "-" + mode.Name + ".rvf";
      SCOPED_TRACE(name);
      source_.ClearItems();
      document.Build(source_);
      TRVFView view = test::TestView();
      view.RVFOptions = mode.Options;
      std::string stream;
      ASSERT_TRUE(WriteRVF(source_, stream, rvfsmWhole, view));
      auto path = test::TestDataDir() / "rvf" / name;
      if (rewrite) test::WriteFileBytes(path, stream);
      std::string fixture = test::ReadFileBytes(path);
      EXPECT_EQ(stream, fixture);
      target_.ClearItems();
      ASSERT_TRUE(ReadRVF(target_, fixture, 0, true, view));
      std::string again;
      ASSERT_TRUE(WriteRVF(target_, again, rvfsmWhole, view));
      EXPECT_EQ(again, fixture);
    }
  }
}

}  // namespace
}  // namespace varnolt
