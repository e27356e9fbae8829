#include "tests/support/LibreOfficePdf.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <sstream>

#include "tests/support/TestData.h"

namespace varnolt::test {

namespace fs = std::filesystem;

namespace {

// Stable across runs, unlike std::hash, so the cache outlives a rebuild.
std::string ContentKey(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

fs::path CacheFolder() {
  fs::path folder = fs::current_path() / "libreoffice-cache";
  fs::create_directories(folder);
  return folder;
}

// One run of the suite for all the staged files; results moved into the
// cache by rename, so test processes running at once never see half a file.
void ConvertStaged(const std::vector<fs::path>& staged, const std::string& extension, const fs::path& outDir) {
  ScratchDir profile;
  std::vector<std::string> command = {"soffice", "--headless", "--norestore",
                                      "-env:UserInstallation=file://" + profile.path().string(), "--convert-to",
                                      extension, "--outdir", outDir.string()};
  for (const fs::path& file : staged) command.push_back(file.string());
  const CommandResult result = RunCommand(command);
  EXPECT_EQ(result.exitCode, 0) << result.output;
  for (const fs::path& file : staged) {
    const fs::path converted = outDir / (file.stem().string() + "." + extension);
    std::error_code error;
    if (fs::exists(converted, error)) {
      fs::rename(converted, CacheFolder() / converted.filename(), error);
    } else {
      ADD_FAILURE() << "LibreOffice wrote no " << extension << " for " << file.filename() << ":\n" << result.output;
    }
  }
}

struct TPortablePixmap {
  int Width = 0;
  int Height = 0;
  std::string Pixels;  // RGB rows
};

TPortablePixmap ReadPixmap(const fs::path& file) {
  const std::string bytes = ReadFileBytes(file);
  std::istringstream in(bytes);
  std::string magic;
  int maxValue = 0;
  TPortablePixmap pixmap;
  in >> magic >> pixmap.Width >> pixmap.Height >> maxValue;
  in.get();
  const auto size = static_cast<std::size_t>(pixmap.Width) * static_cast<std::size_t>(pixmap.Height) * 3;
  const auto start = static_cast<std::size_t>(in.tellg());
  if (magic != "P6" || maxValue != 255 || bytes.size() < start + size) return {};
  pixmap.Pixels = bytes.substr(start, size);
  return pixmap;
}

// pdftoppm numbers pages with as many digits as the last page needs.
std::vector<TPortablePixmap> RenderPages(const fs::path& pdf, const fs::path& folder, int resolution) {
  fs::create_directories(folder);
  const CommandResult result =
      RunCommand({"pdftoppm", "-r", std::to_string(resolution), pdf.string(), (folder / "page").string()});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  std::map<int, fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().stem().string();
    if (name.starts_with("page-")) files[std::stoi(name.substr(5))] = entry.path();
  }
  std::vector<TPortablePixmap> pages;
  for (const auto& [number, file] : files) pages.push_back(ReadPixmap(file));
  return pages;
}

void WritePng(const fs::path& file, const TPortablePixmap& pixmap) {
  std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(file.c_str(), "wb"), &std::fclose);
  ASSERT_NE(out, nullptr) << file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "cannot write " << file;
    return;
  }
  png_init_io(png, out.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(pixmap.Width), static_cast<png_uint_32>(pixmap.Height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int row = 0; row < pixmap.Height; ++row) {
    auto* line = reinterpret_cast<png_bytep>(const_cast<char*>(pixmap.Pixels.data()) +
                                             static_cast<std::size_t>(row) * static_cast<std::size_t>(pixmap.Width) * 3);
    png_write_row(png, line);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}

// Left and right on a grey ground, a gap between them.
TPortablePixmap Beside(const TPortablePixmap& left, const TPortablePixmap& right) {
  constexpr int kGap = 16;
  TPortablePixmap both;
  both.Width = left.Width + kGap + right.Width;
  both.Height = std::max(left.Height, right.Height);
  both.Pixels.assign(static_cast<std::size_t>(both.Width) * static_cast<std::size_t>(both.Height) * 3, '\x80');
  const auto copy = [&both](const TPortablePixmap& part, int x) {
    for (int row = 0; row < part.Height; ++row) {
      const auto rowBytes = static_cast<std::size_t>(part.Width) * 3;
      both.Pixels.replace((static_cast<std::size_t>(row) * static_cast<std::size_t>(both.Width) + x) * 3, rowBytes,
                          part.Pixels, static_cast<std::size_t>(row) * rowBytes, rowBytes);
    }
  };
  copy(left, 0);
  copy(right, left.Width + kGap);
  return both;
}

std::string Unescaped(std::string text) {
  static const std::vector<std::pair<std::string, std::string>> entities = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, entity.size(), character);
    }
  }
  return text;
}

}  // namespace

std::vector<fs::path> OfficeConverted(const std::vector<fs::path>& files, const std::string& extension) {
  const fs::path cache = CacheFolder();
  std::vector<fs::path> converted;
  std::vector<fs::path> missing;
  ScratchDir staging;
  for (const fs::path& file : files) {
    // The key names the result: the same bytes under the same name convert once.
    const std::string stem = ContentKey(ReadFileBytes(file)) + "-" + file.stem().string();
    converted.push_back(cache / (stem + "." + extension));
    if (fs::exists(converted.back())) continue;
    fs::path staged = staging / (stem + file.extension().string());
    if (std::find(missing.begin(), missing.end(), staged) != missing.end()) continue;
    fs::copy_file(file, staged);
    missing.push_back(staged);
  }
  if (!missing.empty()) {
    // Converted in a folder of the cache's own file system, so the moves are renames.
    const fs::path outDir = cache / ("staging-" + std::to_string(::getpid()));
    fs::create_directories(outDir);
    ConvertStaged(missing, extension, outDir);
    fs::remove_all(outDir);
  }
  return converted;
}

fs::path OfficeRtfOf(const fs::path& fodt) { return OfficeConverted({fodt}, "rtf").front(); }

fs::path OfficePdfOf(const fs::path& file) { return OfficeConverted({file}, "pdf").front(); }

std::vector<PdfPageSize> PdfPageSizes(const fs::path& pdf) {
  const CommandResult result = RunCommand({"pdfinfo", "-f", "1", "-l", "100000", pdf.string()});
  std::vector<PdfPageSize> sizes;
  if (result.exitCode != 0) return sizes;
  static const std::regex line(R"(Page\s+\d+ size:\s+([0-9.]+) x ([0-9.]+) pts)");
  for (auto it = std::sregex_iterator(result.output.begin(), result.output.end(), line); it != std::sregex_iterator();
       ++it) {
    sizes.push_back({std::stod((*it)[1].str()), std::stod((*it)[2].str())});
  }
  return sizes;
}

std::vector<PdfWord> PdfWords(const fs::path& pdf) {
  ScratchDir scratch;
  const fs::path html = scratch / "words.html";
  const CommandResult result = RunCommand({"pdftotext", "-bbox", "-enc", "UTF-8", pdf.string(), html.string()});
  std::vector<PdfWord> words;
  if (result.exitCode != 0) {
    ADD_FAILURE() << "pdftotext -bbox failed: " << result.output;
    return words;
  }
  const std::string text = ReadFileBytes(html);
  static const std::regex element(
      R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  int page = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), element); it != std::sregex_iterator(); ++it) {
    const std::smatch& match = *it;
    if (!match[1].matched) {
      ++page;
      continue;
    }
    words.push_back({page, std::stod(match[1].str()), std::stod(match[2].str()), std::stod(match[3].str()),
                     std::stod(match[4].str()), Unescaped(match[5].str())});
  }
  return words;
}

std::vector<PdfWord> FirstWordOfEachPage(const std::vector<PdfWord>& words) {
  std::vector<PdfWord> first;
  for (const PdfWord& word : words) {
    if (first.empty() || first.back().Page != word.Page) first.push_back(word);
  }
  return first;
}

const PdfWord* FindWord(const std::vector<PdfWord>& words, const std::string& text, int page) {
  for (const PdfWord& word : words) {
    if (word.Text == text && (page == 0 || word.Page == page)) return &word;
  }
  return nullptr;
}

std::vector<fs::path> RenderSideBySide(const fs::path& ours, const fs::path& theirs, const fs::path& folder,
                                       const std::string& name, int resolution) {
  ScratchDir scratch;
  const std::vector<TPortablePixmap> left = RenderPages(ours, scratch / "ours", resolution);
  const std::vector<TPortablePixmap> right = RenderPages(theirs, scratch / "theirs", resolution);
  fs::create_directories(folder);
  std::vector<fs::path> written;
  for (std::size_t page = 0; page < std::max(left.size(), right.size()); ++page) {
    const TPortablePixmap none;
    const TPortablePixmap both =
        Beside(page < left.size() ? left[page] : none, page < right.size() ? right[page] : none);
    written.push_back(folder / (name + "-" + std::to_string(page + 1) + ".png"));
    WritePng(written.back(), both);
  }
  return written;
}

fs::path SideBySideFolder() { return fs::current_path() / "side-by-side"; }

}  // namespace varnolt::test
