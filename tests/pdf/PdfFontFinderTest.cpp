#include "pdf/PdfFontFinder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "pdf/PdfEmbeddedFont.h"

namespace varnolt {
namespace {

struct ScriptCase {
  const char* script;
  char32_t character;    // asked for
  std::u16string sample;  // the face found must show all of it
};

// No family asked: fontconfig's fallbacks must bring a face for each script
// from the Noto and DejaVu packages.
const ScriptCase kScripts[] = {
    {"Cyrillic", U'Ж', u"Съешь же ещё этих"},
    {"Greek", U'Ω', u"Καλημέρα κόσμε"},
    {"Hebrew", U'ש', u"שלום עולם"},
    {"Arabic", U'ع', u"مرحبا بالعالم"},
    {"Thai", U'ก', u"สวัสดีครับ"},
    {"Devanagari", U'क', u"नमस्ते दुनिया"},
    {"Armenian", U'Բ', u"Բարեւ աշխարհ"},
    {"Georgian", U'ა', u"გამარჯობა"},
    {"Ethiopic", U'ሰ', u"ሰላም"},
    {"emoji above the BMP", U'\U0001F600', u"\U0001F600"},
};

TEST(PdfFontFinderTest, FindsAFaceThatShowsEachScript) {
  for (const ScriptCase& c : kScripts) {
    std::optional<TPdfFontFace> face = FindFontFace(u"", false, false, c.character);
    ASSERT_TRUE(face.has_value()) << c.script;
    TPdfXref xref;
    TPdfEmbeddedFont font(xref, u"probe", *face);
    for (std::size_t i = 0; i < c.sample.size(); ++i) {
      char32_t character = c.sample[i];
      if (character >= 0xD800 && character <= 0xDBFF) {
        character = 0x10000 + ((character - 0xD800) << 10) + (c.sample[++i] - 0xDC00);
      }
      EXPECT_TRUE(character == U' ' || font.HasCharacter(character))
          << c.script << ": " << face->File << " lacks U+" << std::hex << static_cast<std::uint32_t>(character);
    }
  }
}

struct StyleCase {
  std::u16string family;
  bool bold;
  bool italic;
  char32_t character;
  const char* file;  // the file name of the face expected
};

TEST(PdfFontFinderTest, PrefersTheAskedFamilyAndStyleAmongTheFacesWithTheCharacter) {
  const StyleCase cases[] = {
      {u"DejaVu Serif", false, false, U'A', "DejaVuSerif.ttf"},
      {u"DejaVu Serif", true, false, U'Ж', "DejaVuSerif-Bold.ttf"},
      {u"Noto Sans", false, true, U'a', "NotoSans-Italic.ttf"},
      {u"Noto Sans", true, true, U'a', "NotoSans-BoldItalic.ttf"},
      // Noto Sans has no Arabic: the face comes from the fallbacks, in the
      // style asked (Debian's configuration ranks DejaVu first among them).
      {u"Noto Sans", false, false, U'ع', "DejaVuSans.ttf"},
      {u"Noto Sans", true, false, U'ع', "DejaVuSans-Bold.ttf"},
      // A family nobody installed still finds a face with the character.
      {u"No Such Family", false, false, U'क', "NotoSansDevanagari-Regular.ttf"},
  };
  for (const StyleCase& c : cases) {
    std::optional<TPdfFontFace> face = FindFontFace(c.family, c.bold, c.italic, c.character);
    ASSERT_TRUE(face.has_value()) << c.file;
    EXPECT_EQ(std::filesystem::path(face->File).filename(), c.file);
    EXPECT_EQ(FindFontFace(c.family, c.bold, c.italic, c.character), face) << "asked again";
  }
}

TEST(PdfFontFinderTest, NoFaceForACharacterNoInstalledFontHas) {
  EXPECT_EQ(FindFontFace(u"DejaVu Sans", false, false, U'\U0010FFFD'), std::nullopt);
}

}  // namespace
}  // namespace varnolt
