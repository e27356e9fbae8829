// Commands another part of the program brings (the office applications and
// the web page loader). Until it is in this build each says so; delete a
// row, and its declaration in Unit2.h, when its handler arrives.
#include "app/Unit2.h"

namespace varnolt {

void TForm2::NotInThisBuild(const std::u16string& command) {
  host_.ShowMessage(TMessage{u"\"" + command + u"\" is not available in this build.", u"", TMessageKind::kInformation});
}

void TForm2::Label6Click() { NotInThisBuild(u"Word to import(*.doc)"); }
void TForm2::Label16Click() { NotInThisBuild(u"Excel to import(*.xls)"); }
void TForm2::Label13Click() { NotInThisBuild(u"Webpage to import(url)"); }
void TForm2::Image4Click() { NotInThisBuild(u"Microsoft Office Word(*.doc)"); }
void TForm2::image5Click() { NotInThisBuild(u"Microsoft Office Excel(*.xls)"); }

}  // namespace varnolt
