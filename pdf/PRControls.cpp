#include "pdf/PRControls.h"

#include <algorithm>
#include <array>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "platform/Exception.h"

namespace varnolt {

// ---------------------------------------------------------------- control

TPRControl::~TPRControl() {
  if (parent_ != nullptr) parent_->RemoveChild(this);
  for (TPRControl* child : children_) child->parent_ = nullptr;
}

void TPRControl::CheckParent(const TPRControl*) const {}

void TPRControl::SetParent(TPRControl* parent) {
  if (parent == parent_) return;
  CheckParent(parent);
  for (const TPRControl* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent_) {
    if (ancestor == this) throw Exception("A control cannot have itself as its parent");
  }
  if (parent_ != nullptr) parent_->RemoveChild(this);
  parent_ = parent;
  if (parent_ == nullptr) return;
  parent_->children_.push_back(this);
  if (align_ != alNone) parent_->Realign();
}

void TPRControl::RemoveChild(const TPRControl* child) { std::erase(children_, child); }

void TPRControl::SetBounds(int left, int top, int width, int height) {
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (resized) Realign();
}

void TPRControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void TPRControl::Realign() {
  TRect area = AlignRect();
  constexpr std::array<TAlign, 5> kOrder = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign group : kOrder) {
    for (TPRControl* child : children_) {
      if (child->align_ != group) continue;
      int width = std::max(area.Width(), 0);
      int height = std::max(area.Height(), 0);
      switch (group) {
        case alTop:
          child->SetBounds(area.Left, area.Top, width, child->height_);
          area.Top += child->height_;
          break;
        case alBottom:
          child->SetBounds(area.Left, area.Bottom - child->height_, width, child->height_);
          area.Bottom -= child->height_;
          break;
        case alLeft:
          child->SetBounds(area.Left, area.Top, child->width_, height);
          area.Left += child->width_;
          break;
        case alRight:
          child->SetBounds(area.Right - child->width_, area.Top, child->width_, height);
          area.Right -= child->width_;
          break;
        default:
          child->SetBounds(area.Left, area.Top, width, height);
          break;
      }
    }
  }
}

// ---------------------------------------------------------------- page

TPRPage::TPRPage() : TPRControl(TPdfDoc::kDefaultPageWidth, TPdfDoc::kDefaultPageHeight) {}

TPRPage::~TPRPage() = default;

void TPRPage::SetMargin(int& margin, int value) {
  if (value == margin || value < 0) return;
  if (value >= Width() / 2) return;
  margin = value;
  Realign();
}

TRect TPRPage::AlignRect() const {
  return {marginLeft_, marginTop_, Width() - marginRight_, Height() - marginBottom_};
}

void TPRPage::PrintTo(TPRCanvas& canvas) {
  TPdfCanvas* pdfCanvas = canvas.PdfCanvas();
  if (pdfCanvas == nullptr) throw EPdfInvalidOperation("PrintTo --canvas is null.");
  pdfCanvas->SetPageHeight(Height());
  pdfCanvas->SetPageWidth(Width());
  if (OnPrintPage) OnPrintPage(*this, canvas);
  // A handler may change the tree; print what is there afterwards.
  std::vector<TPRControl*> children = Children();
  for (TPRControl* child : children) {
    if (auto* panel = dynamic_cast<TPRPanel*>(child)) panel->PrintTo(canvas, panel->BoundsRect());
  }
}

TPdfDoc& TPRPage::MeasuringDocument() {
  if (!measuringDocument_) {
    measuringDocument_ = std::make_unique<TPdfDoc>();
    measuringDocument_->StartDocumentWithPage();
  }
  return *measuringDocument_;
}

// ---------------------------------------------------------------- panels

TPRPage* TPRPanel::GetPage() const {
  for (TPRControl* ancestor = Parent(); ancestor != nullptr; ancestor = ancestor->Parent()) {
    if (auto* page = dynamic_cast<TPRPage*>(ancestor)) return page;
  }
  return nullptr;
}

void TPRPanel::PrintTo(TPRCanvas& canvas, const TRect& rect) {
  std::vector<TPRControl*> children = Children();
  for (TPRControl* child : children) {
    TRect bounds = child->BoundsRect().Offset(rect.Left, rect.Top);
    if (auto* panel = dynamic_cast<TPRPanel*>(child)) {
      panel->PrintTo(canvas, bounds);
    } else if (auto* item = dynamic_cast<TPRItem*>(child); item != nullptr && item->Printable()) {
      item->PrintTo(canvas, bounds);
    }
  }
}

void TPRLayoutPanel::PrintTo(TPRCanvas& canvas, const TRect& rect) {
  if (BeforePrint) BeforePrint(*this, canvas, rect);
  TPRPanel::PrintTo(canvas, rect);
  if (AfterPrint) AfterPrint(*this, canvas, rect);
}

void TPRLayoutPanel::CheckParent(const TPRControl* parent) const {
  if (parent == nullptr || dynamic_cast<const TPRPanel*>(parent) != nullptr ||
      dynamic_cast<const TPRPage*>(parent) != nullptr) {
    return;
  }
  throw Exception("TPRPage can not set on " + std::string(parent->ClassName()));
}

// ---------------------------------------------------------------- items

void TPRItem::CheckParent(const TPRControl* parent) const {
  if (parent != nullptr && dynamic_cast<const TPRPanel*>(parent) == nullptr) {
    throw Exception("this component must set on TPRPanel");
  }
}

TPRPage* TPRItem::GetPage() const {
  auto* panel = dynamic_cast<TPRPanel*>(Parent());
  return panel != nullptr ? panel->GetPage() : nullptr;
}

TPdfDoc* TPRItem::GetPageDocument() const {
  TPRPage* page = GetPage();
  return page != nullptr ? &page->MeasuringDocument() : nullptr;
}

void TPRItem::PrintTo(TPRCanvas&, const TRect&) {}

}  // namespace varnolt
