// Word and Excel documents in and out of the batch mode, through the real
// office suite, and what happens when it is missing, fails or hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "tests/cli/VarnoltProcess.h"

#include "tests/support/OfficeChecks.h"
#include "tests/support/Folders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using namespace std::chrono_literals;

test::SplitCommandResult Varnolt(std::vector<std::string> arguments, std::vector<std::string> environment = {}) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  if (!environment.empty()) {
    environment.insert(environment.begin(), "/usr/bin/env");
    arguments.insert(arguments.begin(), environment.begin(), environment.end());
  }
  return test::RunCommandSplit(arguments);
}

std::vector<std::string> PagesOf(const std::string& text) {
  std::vector<std::string> pages;
  size_t start = 0;
  for (size_t end = text.find('\f'); end != std::string::npos; end = text.find('\f', start)) {
    pages.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pages;
}

// The sample document in each Word format, made by the office suite.
void MakeWordFixtures(const std::filesystem::path& dir) {
  const auto source = dir / "sample.fodt";
  std::filesystem::copy_file(test::TestDataDir() / "office" / "sample.fodt", source);
  for (const char* format : {"docx", "doc", "odt"}) {
    test::ScratchDir out;
    test::ConvertWithOffice({source}, format, out.path());
    std::filesystem::rename(out / (std::string("sample.") + format),
                            dir / (std::string("sample-") + format + "." + format));
  }
}

TEST(OfficeBatchTest, WordDocumentsArriveWordForWordAsTheOfficeSuiteReadsThem) {
  test::ScratchDir dir;
  MakeWordFixtures(dir.path());
  const std::vector<std::filesystem::path> inputs = {dir / "sample-docx.docx", dir / "sample-doc.doc",
                                                     dir / "sample-odt.odt"};
  test::ScratchDir office;
  test::ConvertWithOffice(inputs, "txt:Text (encoded):UTF8", office.path());
  auto result = Varnolt({inputs[0].string(), inputs[1].string(), inputs[2].string(), "-o", (dir / "out.txt").string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  const auto pages = PagesOf(test::ReadFileBytes(dir / "out.txt"));
  ASSERT_EQ(pages.size(), 3u);
  for (size_t i = 0; i < inputs.size(); ++i) {
    const auto expected = test::WordsOf(test::ReadFileBytes(office / (inputs[i].stem().string() + ".txt")));
    EXPECT_EQ(test::WordsOf(pages[i]), expected) << inputs[i].filename();
    EXPECT_NE(pages[i].find("\xE4\xB8\xAD\xE6\x96\x87"), std::string::npos) << inputs[i].filename();
  }
}

// Three sheets of numbers, text and dates and one empty sheet, named so that
// their order is not the alphabetical one, with cells just outside A1:AZ150.
void WriteWorkbook(const std::filesystem::path& file) {
  lxw_workbook* workbook = workbook_new(file.c_str());
  lxw_worksheet* numbers = workbook_add_worksheet(workbook, "Zahlen");
  lxw_worksheet* text = workbook_add_worksheet(workbook, "Text");
  workbook_add_worksheet(workbook, "Leer");
  lxw_worksheet* dates = workbook_add_worksheet(workbook, "Daten");
  worksheet_write_number(numbers, 0, 0, 1, nullptr);
  worksheet_write_number(numbers, 0, 1, 2.5, nullptr);
  worksheet_write_number(numbers, 2, 1, 1000, nullptr);
  worksheet_write_string(numbers, 0, 52, "beyondAZ", nullptr);
  worksheet_write_string(numbers, 150, 0, "beyondRow150", nullptr);
  worksheet_write_string(numbers, 149, 51, "cornerAZ150", nullptr);
  worksheet_write_string(text, 0, 0, "alpha, beta", nullptr);
  worksheet_write_string(text, 1, 1, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", nullptr);
  lxw_format* dateFormat = workbook_add_format(workbook);
  format_set_num_format(dateFormat, "yyyy-mm-dd");
  lxw_datetime day = {2024, 3, 15, 0, 0, 0};
  worksheet_write_datetime(dates, 1, 0, &day, dateFormat);
  ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);
}

TEST(OfficeBatchTest, WorkbooksArriveSheetBySheetInSheetOrderCutToTheirRange) {
  test::ScratchDir dir;
  WriteWorkbook(dir / "book-xlsx.xlsx");
  for (const char* format : {"xls", "ods"}) {
    test::ScratchDir out;
    test::ConvertWithOffice({dir / "book-xlsx.xlsx"}, format, out.path());
    std::filesystem::rename(out / (std::string("book-xlsx.") + format),
                            dir / (std::string("book-") + format + "." + format));
  }
  auto result = Varnolt({(dir / "book-xlsx.xlsx").string(), (dir / "book-xls.xls").string(),
                         (dir / "book-ods.ods").string(), "-o", (dir / "out.txt").string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  const auto pages = PagesOf(test::ReadFileBytes(dir / "out.txt"));
  ASSERT_EQ(pages.size(), 3u);
  const std::vector<std::string> expected = {
      "1", "2.5", "1000", "cornerAZ150", "alpha,", "beta", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
      "2024-03-15"};
  for (const auto& page : pages) EXPECT_EQ(test::WordsOf(page), expected);
}

TEST(OfficeBatchTest, WithoutTheOfficeSuiteTheCommandsSayItIsNotInstalled) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "plain text");
  // .doc and .xls: .docx, .xlsx and .ods are read without the office suite.
  test::WriteFileBytes(dir / "in.doc", "x");
  test::WriteFileBytes(dir / "in.xls", "x");
  const std::string word =
      "Microsoft Office Word is not installed. Please confirm your Microsoft Office Word had already installed!\n";
  const std::string excel =
      "Microsoft Office Excel is not installed. Please confirm your Microsoft Office Excel had already installed!\n";
  // Each line names the file it is about: the input for imports, the output for exports.
  const struct {
    std::string input, output, error;
  } cases[] = {
      {"in.doc", "out.txt", "varnolt: " + (dir / "in.doc").string() + ": " + word},
      {"in.xls", "out.txt", "varnolt: " + (dir / "in.xls").string() + ": " + excel},
      {"in.txt", "out.doc", "varnolt: " + (dir / "out.doc").string() + ": " + word},
      {"in.txt", "out.xls",
       "varnolt: " + (dir / "out.xls").string() +
           ": Microsoft Office Excel is not installed\xE3\x80\x82 Please confirm your Microsoft Office Excel had "
           "already installed!!\n"},
  };
  const std::vector<std::string> noOffice = {"-u", "VARNOLT_SOFFICE", "PATH=/nonexistent"};
  for (const auto& c : cases) {
    auto result = Varnolt({(dir / c.input).string(), "-o", (dir / c.output).string()}, noOffice);
    EXPECT_EQ(result.exitCode, 1) << c.input << " -> " << c.output;
    EXPECT_EQ(result.standardError, c.error);
    EXPECT_FALSE(std::filesystem::exists(dir / c.output)) << c.output;
  }
  // What needs no office suite still converts, .xlsx output included.
  for (const char* output : {"out.txt", "out.xlsx"}) {
    auto result = Varnolt({(dir / "in.txt").string(), "-o", (dir / output).string()}, noOffice);
    EXPECT_EQ(result.exitCode, 0) << output << ": " << result.standardError;
    EXPECT_TRUE(std::filesystem::exists(dir / output)) << output;
  }
}

TEST(OfficeBatchTest, CorruptDocumentsFailWithTheirCommandsErrors) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "broken.docx", "PK\x03\x04 this is not a real zip archive");
  test::WriteFileBytes(dir / "broken.xlsx", "PK\x03\x04 nor is this");
  const struct {
    std::string input, error;
  } cases[] = {
      // Our own reader refuses it, naming the file and the reason.
      {"broken.docx", "varnolt: " + (dir / "broken.docx").string() + ": it is no zip package\n"},
      // Read by our own reader: the command's message, then the reason on a line of its own.
      {"broken.xlsx", "varnolt: " + (dir / "broken.xlsx").string() +
                          ": Excel format Error or excel shutdown error Please check your Excel\n"
                          "varnolt: " + (dir / "broken.xlsx").string() + ": "},
  };
  for (const auto& c : cases) {
    auto result = Varnolt({(dir / c.input).string(), "-o", (dir / "out.txt").string()});
    EXPECT_EQ(result.exitCode, 1) << c.input;
    if (c.input == "broken.xlsx") {
      EXPECT_TRUE(result.standardError.starts_with(c.error)) << result.standardError;
      EXPECT_GT(result.standardError.size(), c.error.size() + 1) << "a reason follows";
    } else {
      EXPECT_EQ(result.standardError, c.error);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  }
}

TEST(OfficeBatchTest, AHangingOfficeSuiteIsStoppedAtTheTimeLimitWithNothingLeftRunning) {
  test::ScratchDir dir;
  const auto fake = dir / "soffice";
  test::WriteFileBytes(fake, "#!/bin/sh\necho $$ > " + (dir / "office.pid").string() + "\nsleep 60 &\necho $! > " +
                                 (dir / "child.pid").string() + "\nwait\n");
  ::chmod(fake.c_str(), 0755);
  test::WriteFileBytes(dir / "in.doc", "x");
  test::WriteFileBytes(dir / "other.doc", "x");
  const auto started = std::chrono::steady_clock::now();
  // Two documents share one run, and one wait of the limit.
  auto result = Varnolt({(dir / "in.doc").string(), (dir / "other.doc").string(), "-o", (dir / "out.txt").string()},
                        {"VARNOLT_SOFFICE=" + fake.string(), "VARNOLT_OFFICE_TIMEOUT=2"});
  EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, "varnolt: LibreOffice did not convert " + (dir / "in.doc").string() +
                                      " within 2 s and was stopped\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  for (const char* pidFile : {"office.pid", "child.pid"}) {
    const std::string pid = test::ReadFileBytes(dir / pidFile);
    ASSERT_FALSE(pid.empty());
    EXPECT_FALSE(test::ProcessIsRunning(std::stoi(pid))) << pidFile;
  }
}

TEST(OfficeBatchTest, WordExportsOpenInTheOfficeSuiteWithWordsBoldAndTable) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "intro.txt", "Opening words \xE2\x82\xAC here");
  test::WriteFileBytes(dir / "rich.rtf",
                       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 normal {\\b boldword} end\\par"
                       "\\trowd\\cellx2000\\cellx4000\\pard\\intbl cellone\\cell celltwo\\cell\\row\\pard after\\par}");
  for (const char* output : {"out-doc.doc", "out-docx.docx", "out-odt.odt"}) {
    auto result = Varnolt({(dir / "intro.txt").string(), (dir / "rich.rtf").string(), "-o", (dir / output).string()});
    ASSERT_EQ(result.exitCode, 0) << output << ": " << result.standardError;
    EXPECT_EQ(result.standardOutput, "Total 2 pages has been found! Create Success!\n");
  }
  test::ScratchDir office;
  test::ConvertWithOffice({dir / "out-doc.doc", dir / "out-docx.docx", dir / "out-odt.odt"}, "odt", office.path());
  test::ConvertWithOffice({dir / "out-doc.doc", dir / "out-docx.docx", dir / "out-odt.odt"}, "txt:Text (encoded):UTF8",
                          office.path());
  const std::vector<std::string> words = {"Opening", "words", "\xE2\x82\xAC", "here", "normal", "boldword", "end",
                                          "cellone", "celltwo", "after"};
  for (const char* name : {"out-doc", "out-docx", "out-odt"}) {
    EXPECT_EQ(test::WordsOf(test::ReadFileBytes(office / (std::string(name) + ".txt"))), words) << name;
    const auto odt = office / (std::string(name) + ".odt");
    const auto content = test::OdtPart(odt, "content.xml");
    EXPECT_NE(content.find("<table:table "), std::string::npos) << name;
    EXPECT_TRUE(test::RunHasProperty(content, content + test::OdtPart(odt, "styles.xml"), "boldword",
                                     "fo:font-weight=\"bold\""))
        << name;
  }
}

// The cells of every sheet of a workbook as the office suite reads them.
std::vector<std::string> SheetsAsCsv(const std::filesystem::path& workbook) {
  test::ScratchDir out;
  test::ConvertWithOffice({workbook}, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                          out.path());
  std::vector<std::string> sheets;
  for (int sheet = 1;; ++sheet) {
    const auto file = out / (workbook.stem().string() + "-Sheet" + std::to_string(sheet) + ".csv");
    if (!std::filesystem::exists(file)) break;
    sheets.push_back(test::ReadFileBytes(file));
  }
  return sheets;
}

TEST(OfficeBatchTest, ExcelExportsPutEachTableOnItsSheetAndCountPagesWithoutTables) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "table.rtf",
                       "{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\pard\\intbl a1\\cell b1\\cell\\row"
                       "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a2\\cell 42\\cell\\row\\pard\\par}");
  test::WriteFileBytes(dir / "words.txt", "no tables here");
  for (const char* output : {"out-xlsx.xlsx", "out-xls.xls", "out-ods.ods"}) {
    const auto out = dir / output;
    auto result = Varnolt({(dir / "table.rtf").string(), (dir / "words.txt").string(), "-o", out.string()});
    ASSERT_EQ(result.exitCode, 0) << output << ": " << result.standardError;
    EXPECT_EQ(result.standardOutput, "Total 2 pages has been found! Create Success" + out.string() + "!\n");
    const auto sheets = SheetsAsCsv(out);
    ASSERT_EQ(sheets.size(), 3u) << output;
    EXPECT_EQ(sheets[0], "a1,b1\na2,42\n") << output;
  }
}

// Documents converted ahead in one run, and a Word export through a scratch
// RTF: the fast exit still leaves the temporary folder as it was.
TEST(OfficeBatchTest, ABatchRunThroughTheOfficeSuiteLeavesTheTemporaryFolderAsItWas) {
  test::ScratchDir dir;
  test::ScratchDir temporary;
  std::filesystem::copy_file(test::TestDataDir() / "office" / "sample.fodt", dir / "sample.fodt");
  test::ConvertWithOffice({dir / "sample.fodt"}, "docx", dir.path());
  std::filesystem::copy_file(dir / "sample.docx", dir / "second.docx");
  auto result = Varnolt({(dir / "sample.docx").string(), (dir / "second.docx").string(), "-o",
                         (dir / "out.doc").string(), "-q"},
                        {"TMPDIR=" + temporary.path().string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "out.doc"));
  EXPECT_EQ(test::NamesIn(temporary.path()), std::vector<std::string>{});
}

TEST(OfficeBatchTest, ASignalDuringAConversionLeavesNoFolderAndNoOfficeProcess) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    test::ScratchDir dir;
    test::ScratchDir temporary;
    const auto fake = dir / "soffice";
    test::WriteFileBytes(fake, "#!/bin/sh\necho $$ > " + (dir / "office.pid").string() + "\nexec sleep 60\n");
    ::chmod(fake.c_str(), 0755);
    test::WriteFileBytes(dir / "in.doc", "x");
    test::VarnoltSetting setting;
    setting.environment = {{"TMPDIR", temporary.path().string()}, {"VARNOLT_SOFFICE", fake.string()}};
    const pid_t varnolt = ::fork();
    ASSERT_GE(varnolt, 0);
    if (varnolt == 0) {
      std::vector<std::string> arguments = {(dir / "in.doc").string(), "-o", (dir / "out.txt").string()};
      auto argv = test::ArgumentVector(arguments);
      for (const auto& [name, value] : setting.environment) ::setenv(name.c_str(), value.c_str(), 1);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    const std::string pid = test::WaitForFileText(dir / "office.pid");
    ASSERT_FALSE(pid.empty()) << "the stand-in office never started";
    EXPECT_FALSE(test::NamesIn(temporary.path()).empty());
    ::kill(varnolt, signal);
    EXPECT_EQ(test::ExitCodeOf(varnolt), 128 + signal);
    EXPECT_EQ(test::NamesIn(temporary.path()), std::vector<std::string>{}) << signal;
    for (int wait = 0; wait < 1000 && test::ProcessIsRunning(std::stoi(pid)); ++wait) std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(test::ProcessIsRunning(std::stoi(pid))) << signal;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  }
}

TEST(OfficeBatchTest, APackageThatIsNoZipFileIsRefusedNamingTheFile) {
  test::ScratchDir dir;
  for (const std::string name : {"text.docx", "text.xlsx", "text.odt", "TEXT.ODS"}) {
    test::WriteFileBytes(dir / name, "plain words, page after page\n");
    auto result = Varnolt({(dir / name).string(), "-o", (dir / "out.txt").string()});
    EXPECT_EQ(result.exitCode, 1) << name;
    std::string extension = std::filesystem::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    EXPECT_EQ(result.standardError, "varnolt: \"" + (dir / name).string() + "\" is no " + extension +
                                        " document: it is not a zip package (it does not start with a zip signature)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  }
}

TEST(OfficeBatchTest, AnInvalidOfficeTimeLimitIsReportedOnce) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "a");
  test::WriteFileBytes(dir / "b.txt", "b");
  auto result = Varnolt({(dir / "a.txt").string(), (dir / "b.txt").string(), "-o", (dir / "out.txt").string(), "-q"},
                        {"VARNOLT_OFFICE_TIMEOUT=soon"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError,
            "varnolt: VARNOLT_OFFICE_TIMEOUT=soon is no number of seconds above 0 and below 86400; 120 s are used\n");
}

}  // namespace
}  // namespace varnolt
