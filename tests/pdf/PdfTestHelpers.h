#pragma once
// Small helpers shared by the PDF writer's tests.
#include <string>

#include "pdf/PdfTypes.h"

namespace varnolt::test {

// The message of the exception the action raises, or "(nothing thrown)".
template <class Exception, class Action>
std::string MessageOf(Action action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "(nothing thrown)";
}

// The bytes WriteTo gives for the object.
inline std::string Written(TPdfObject& object) {
  MemoryOutputStream stream;
  object.WriteTo(stream);
  return stream.Bytes();
}

}  // namespace varnolt::test
