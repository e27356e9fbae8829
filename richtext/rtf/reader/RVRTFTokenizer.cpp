#include "richtext/rtf/reader/RVRTFTokenizer.h"

#include <algorithm>
#include <limits>

namespace varnolt {

namespace {

bool IsLetter(int byte) { return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'); }
bool IsDigit(int byte) { return byte >= '0' && byte <= '9'; }

// A plain conversion: digits beyond the 32-bit range give 0, then the sign.
class ParameterDigits {
 public:
  void Add(int byte) {
    if (overflow_) return;
    value_ = value_ * 10 + (byte - '0');
    overflow_ = value_ > std::numeric_limits<std::int32_t>::max();
  }
  std::int32_t Value(bool negative) const {
    const std::int64_t value = overflow_ ? 0 : value_;
    return static_cast<std::int32_t>(negative ? -value : value);
  }

 private:
  std::int64_t value_ = 0;
  bool overflow_ = false;
};

// The control word when it ends inside the current block, read straight from
// it; false, with nothing consumed (and the length still 0), when it may run
// on into the next block.
bool ReadControlWordInBlock(TRVRTFInput& input, TRVRTFControlWord& word) {
  std::size_t available = 0;
  const char* bytes = input.Available(available);
  if (available == 0) return false;
  const auto at = [bytes](std::size_t index) { return static_cast<unsigned char>(bytes[index]); };
  if (!IsLetter(at(0))) {
    word.letters[0] = bytes[0];
    word.length = 1;
    input.Skip(1);
    return true;
  }
  // Letters are stored as they are scanned: the word is only a few bytes,
  // less than a call to copy them costs.
  std::size_t end = 0;
  for (; end < available && IsLetter(at(end)); ++end) {
    if (end < kMaxRTFKeywordLength) word.letters[end] = bytes[end];
  }
  const std::size_t letters = end;
  const bool negative = end < available && at(end) == '-';
  if (negative) ++end;
  const std::size_t digitsStart = end;
  ParameterDigits digits;
  for (; end < available && IsDigit(at(end)); ++end) digits.Add(at(end));
  if (end == available) return false;
  word.length = std::min(letters, kMaxRTFKeywordLength);
  word.hasParam = end > digitsStart;
  word.param = digits.Value(negative);
  // A space ends the word and goes with it; any other byte is the next token.
  input.Skip(at(end) == ' ' ? end + 1 : end);
  return true;
}

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
  if (ReadControlWordInBlock(input, word)) return true;
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
  ParameterDigits digits;
  while (IsDigit(byte)) {
    word.hasParam = true;
    digits.Add(byte);
    byte = input.Next();
  }
  word.param = digits.Value(negative);
  if (byte >= 0 && byte != ' ') input.PushBack(byte);
  return true;
}

}  // namespace varnolt
