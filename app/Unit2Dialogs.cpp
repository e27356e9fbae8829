// The "Edit" links of the Properties and Options tabs open their dialogs.
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"

namespace varnolt {

void TForm2::PropertiesEditClick() {
  TForm1 dialog(*this);
  host_.RunModal(dialog);
}

void TForm2::OptionsEditClick() {
  TForm3 dialog(*this);
  host_.RunModal(dialog);
}

}  // namespace varnolt
