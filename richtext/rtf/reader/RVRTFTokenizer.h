#pragma once
// The byte side of the RTF reader: the input read in blocks with one byte of
// push-back, and control words cut into keyword and parameter.
#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

namespace varnolt {

class TRVRTFInput {
 public:
  static constexpr std::size_t kBlockSize = 4096;

  // beforeBlock runs before each block is read (progress reports).
  void Open(std::istream& stream, std::function<void()> beforeBlock);
  void Close();
  // Total size, or -1 when the stream cannot tell.
  std::int64_t Size() const { return size_; }
  // Bytes taken from the stream so far, pushed-back bytes included.
  std::int64_t Position() const { return position_; }
  // Bytes the parse has used: read from the stream and not pushed back.
  std::int64_t Consumed() const {
    return position_ - static_cast<std::int64_t>(fill_ - index_) - (pushedBack_ >= 0 ? 1 : 0);
  }

  // The next byte, or -1 at the end of the input.
  int Next() {
    if (pushedBack_ >= 0) {
      const int byte = pushedBack_;
      pushedBack_ = -1;
      return byte;
    }
    if (index_ < fill_) return static_cast<unsigned char>(block_[index_++]);
    return NextBlock();
  }
  void PushBack(int byte) { pushedBack_ = byte; }

  // The unread bytes of the current block (not the pushed-back byte), for
  // loops that take many plain bytes at once.
  const char* Available(std::size_t& count) const {
    count = pushedBack_ >= 0 ? 0 : fill_ - index_;
    return block_ + index_;
  }
  void Skip(std::size_t count) { index_ += count; }

 private:
  int NextBlock();

  std::istream* stream_ = nullptr;
  std::function<void()> beforeBlock_;
  char block_[kBlockSize] = {};
  std::size_t fill_ = 0;
  std::size_t index_ = 0;
  int pushedBack_ = -1;
  std::int64_t size_ = -1;
  std::int64_t position_ = 0;
};

// Keywords longer than any real one are cut here; the rest of the letters
// are still read so the next token starts in the right place.
inline constexpr std::size_t kMaxRTFKeywordLength = 64;

struct TRVRTFControlWord {
  std::array<char, kMaxRTFKeywordLength> letters{};
  std::size_t length = 0;
  std::int32_t param = 0;
  bool hasParam = false;
  std::string_view Keyword() const { return {letters.data(), length}; }
};

// Reads the control word after a backslash. False when the input ends right
// after the backslash.
bool ReadRTFControlWord(TRVRTFInput& input, TRVRTFControlWord& word);

}  // namespace varnolt
