#pragma once
// A client for the RTF reader that writes every event it receives as one
// short line, so a test states the expected sequence as a list of strings.
#include <sstream>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richtext/rtf/reader/RVRTFReader.h"

namespace varnolt::test {

inline const char* PositionName(TRVRTFPosition position) {
  switch (position) {
    case rtf_ts_ContinuePara: return "CP";
    case rtf_ts_NewLine: return "NL";
    default: return "NP";
  }
}

inline const char* TableEventName(TRVRTFTableEventKind kind) {
  switch (kind) {
    case rvf_tbl_TableStart: return "start";
    case rvf_tbl_TableEnd: return "end";
    case rvf_tbl_TableForcedEnd: return "forced-end";
    case rvf_tbl_RowEnd: return "row";
    default: return "cell";
  }
}

inline const char* NoteEventName(TRVRTFNoteEventType what) {
  switch (what) {
    case rtf_ne_Character: return "char";
    case rtf_ne_Start: return "start";
    case rtf_ne_EndNote: return "endnote";
    default: return "end";
  }
}

struct RecorderOptions {
  bool unicode = true;   // install OnNewUnicodeText
  bool markers = false;  // record OnUpdateMarker
  bool pictures = true;
  bool notes = true;
  bool tables = true;
  bool headers = false;  // accept headers and footers
  bool convertText = false;  // 8-bit runs as UTF-8, through the current font's code page
};

// Events as lines: "NP:abc" (8-bit text, bytes as they are), "NP:u'..'"
// (UTF-16 text as UTF-8), "table:start", "note:char@CP", "pic:TBitmap 4x2@NP",
// "bookmark:x", "seq:...", "page", "hf:1+", "end", "marker".
class TRVRTFRecorder {
 public:
  explicit TRVRTFRecorder(TRVRTFReader& reader, RecorderOptions options = {}) {
    reader.OnNewText = [this, options](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition position) {
      const std::string shown = options.convertText ? Utf16ToUtf8(AnsiToUnicode(sender.FontCodePage(), text)) : text;
      events.push_back(std::string(PositionName(position)) + ":" + shown);
    };
    if (options.unicode) {
      reader.OnNewUnicodeText = [this](TRVRTFReader&, const TRVUnicodeString& text, TRVRTFPosition position) {
        events.push_back(std::string(PositionName(position)) + ":u'" + Utf16ToUtf8(text) + "'");
      };
    }
    if (options.tables) {
      reader.OnTable = [this](TRVRTFReader&, TRVRTFTableEventKind kind, bool&) {
        events.push_back(std::string("table:") + TableEventName(kind));
      };
    }
    if (options.notes) {
      reader.OnNote = [this](TRVRTFReader&, TRVRTFNoteEventType what, TRVRTFPosition position) {
        events.push_back(std::string("note:") + NoteEventName(what) + "@" + PositionName(position));
      };
    }
    if (options.pictures) {
      reader.OnNewPicture = [this](TRVRTFReader&, const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                   TRVRTFPosition position, const TRVUnicodeString& fileName, bool& inserted) {
        std::ostringstream line;
        line << "pic:";
        if (graphic) {
          line << graphic->ClassName() << " " << graphic->Width() << "x" << graphic->Height();
        } else {
          line << "none";
        }
        if (picture == nullptr) line << " field";
        if (!fileName.empty()) line << " " << Utf16ToUtf8(fileName);
        line << "@" << PositionName(position);
        events.push_back(line.str());
        if (picture != nullptr) lastPicture = *picture;
        graphics.push_back(std::move(graphic));
        inserted = insertPictures;
      };
    }
    if (options.headers) {
      reader.OnHeaderFooter = [this](TRVRTFReader&, TRVRTFHeaderFooterType type, bool starting, bool& supported) {
        events.push_back("hf:" + std::to_string(type) + (starting ? "+" : "-"));
        supported = true;
      };
    }
    if (options.markers) {
      reader.OnUpdateMarker = [this](TRVRTFReader&) { events.push_back("marker"); };
    }
    reader.OnEndParsing = [this](TRVRTFReader&) { events.push_back("end"); };
    reader.OnRequiredPageBreak = [this](TRVRTFReader&) { events.push_back("page"); };
    reader.OnBookmarkStart = [this](TRVRTFReader&, const TRVUnicodeString& name) {
      events.push_back("bookmark:" + Utf16ToUtf8(name));
    };
    reader.OnNewSeq = [this](TRVRTFReader&, TRVRTFPosition position, const TRVUnicodeString& name,
                             TRVRTFSeqType type, bool reset, std::int32_t startFrom) {
      events.push_back("seq:" + Utf16ToUtf8(name) + "," + std::to_string(type) + "," + (reset ? "reset" : "cont") +
                       "," + std::to_string(startFrom) + "@" + PositionName(position));
    };
  }

  // The text runs only, joined, for checks that every word arrived.
  std::string Text() const {
    std::string all;
    for (const auto& event : events) {
      const auto colon = event.find(':');
      const std::string kind = event.substr(0, colon);
      if (kind != "NP" && kind != "NL" && kind != "CP") continue;
      std::string text = event.substr(colon + 1);
      if (text.rfind("u'", 0) == 0) text = text.substr(2, text.size() - 3);
      if (kind != "CP" && !all.empty()) all += "\n";
      all += text;
    }
    return all;
  }

  std::vector<std::string> events;
  std::vector<std::unique_ptr<TGraphic>> graphics;
  TRVRTFPicture lastPicture;
  bool insertPictures = true;
};

inline std::uint8_t ParseRtf(TRVRTFReader& reader, const std::string& rtf) {
  std::istringstream stream(rtf);
  return reader.ParseStream(stream);
}

}  // namespace varnolt::test
