#include "richtext/rtf/reader/RVRTFTokenizer.h"

#include <limits>

namespace varnolt {

namespace {

bool IsLetter(int byte) { return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'); }
bool IsDigit(int byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

void TRVRTFInput::Open(std::istream& stream, std::function<void()> beforeBlock) {
  stream_ = &stream;
  beforeBlock_ = std::move(beforeBlock);
  fill_ = index_ = 0;
  pushedBack_ = -1;
  position_ = 0;
  size_ = -1;
  const auto start = stream.tellg();
  if (start != std::streampos(-1) && stream.seekg(0, std::ios::end)) {
    const auto end = stream.tellg();
    stream.seekg(start);
    if (end != std::streampos(-1)) size_ = static_cast<std::int64_t>(end - start);
  }
  stream.clear();
}

void TRVRTFInput::Close() {
  stream_ = nullptr;
  beforeBlock_ = nullptr;
}

int TRVRTFInput::NextBlock() {
  if (stream_ == nullptr || !*stream_) return -1;
  if (beforeBlock_) beforeBlock_();
  stream_->read(block_, kBlockSize);
  fill_ = static_cast<std::size_t>(stream_->gcount());
  index_ = 0;
  position_ += static_cast<std::int64_t>(fill_);
  if (fill_ == 0) return -1;
  return static_cast<unsigned char>(block_[index_++]);
}

bool ReadRTFControlWord(TRVRTFInput& input, TRVRTFControlWord& word) {
  word.length = 0;
  word.param = 0;
  word.hasParam = false;
  int byte = input.Next();
  if (byte < 0) return false;
  if (!IsLetter(byte)) {
    word.letters[0] = static_cast<char>(byte);
    word.length = 1;
    return true;
  }
  while (IsLetter(byte)) {
    if (word.length < kMaxRTFKeywordLength) word.letters[word.length++] = static_cast<char>(byte);
    byte = input.Next();
  }
  const bool negative = byte == '-';
  if (negative) byte = input.Next();
  // A plain conversion: digits beyond the 32-bit range give 0, then the sign.
  std::int64_t value = 0;
  bool overflow = false;
  while (IsDigit(byte)) {
    word.hasParam = true;
    if (!overflow) {
      value = value * 10 + (byte - '0');
      overflow = value > std::numeric_limits<std::int32_t>::max();
    }
    byte = input.Next();
  }
  if (overflow) value = 0;
  word.param = static_cast<std::int32_t>(negative ? -value : value);
  if (byte >= 0 && byte != ' ') input.PushBack(byte);
  return true;
}

}  // namespace varnolt
