#pragma once
// Fields that few objects of a kind set, kept in a block made the first time
// one of them is set to something other than its default. Reading never
// makes the block: an object without one reads the defaults.
#include <memory>
#include <utility>

namespace varnolt {

template <typename Block>
class TRVRareFields {
 public:
  // The field, or its default while there is no block.
  template <typename Value>
  const Value& Read(Value Block::*field) const {
    return block_ ? (*block_).*field : Defaults().*field;
  }
  // A default value makes no block; once made, the block takes every value.
  template <typename Value, typename Argument>
  void Write(Value Block::*field, Argument&& value) {
    if (!block_ && value == Defaults().*field) return;
    if (!block_) block_ = std::make_unique<Block>();
    (*block_).*field = std::forward<Argument>(value);
  }

 private:
  static const Block& Defaults() {
    static const Block defaults;
    return defaults;
  }

  std::unique_ptr<Block> block_;
};

}  // namespace varnolt
