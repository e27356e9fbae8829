#pragma once
// The layout components of a report: a tree of controls with bounds in
// pixels (taken one to one as PDF points), report pages, panels and the
// printable items they hold.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/Color.h"

namespace varnolt {

class TPdfCanvas;
class TPdfDoc;
class TPRPage;

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};


enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// What print handlers draw on: the canvas of the report's open document.
class TPRCanvas {
 public:
  TPdfCanvas* PdfCanvas() const { return pdfCanvas_; }
  void SetPdfCanvas(TPdfCanvas* canvas) { pdfCanvas_ = canvas; }

 private:
  TPdfCanvas* pdfCanvas_ = nullptr;
};

// A node of the component tree. A control does not own its children: whoever
// creates a control owns it, and destroying one takes it out of the tree.
class TPRControl {
 public:
  TPRControl(int width, int height) : width_(width), height_(height) {}
  virtual ~TPRControl();
  TPRControl(const TPRControl&) = delete;
  TPRControl& operator=(const TPRControl&) = delete;

  virtual std::string_view ClassName() const = 0;

  TPRControl* Parent() const { return parent_; }
  // Raises varnolt::Exception for a parent this kind of control refuses, or
  // one that would make the control its own ancestor.
  void SetParent(TPRControl* parent);
  const std::vector<TPRControl*>& Children() const { return children_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  // Explicit bounds stand until the parent next aligns its children.
  void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  TRect ClientRect() const { return {0, 0, width_, height_}; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

 protected:
  virtual void CheckParent(const TPRControl* parent) const;
  // The area aligned children share.
  virtual TRect AlignRect() const { return ClientRect(); }
  // Places the aligned children: top, bottom, left, right, then client.
  void Realign();

 private:
  void RemoveChild(const TPRControl* child);

  TPRControl* parent_ = nullptr;
  std::vector<TPRControl*> children_;
  int left_ = 0;
  int top_ = 0;
  int width_;
  int height_;
  TAlign align_ = alNone;
};

// A page-sized container; printing it makes one PDF page of its size.
class TPRPage final : public TPRControl {
 public:
  static constexpr int kDefaultMargin = 32;
  using TPRPrintPageEvent = std::function<void(TPRPage& sender, TPRCanvas& canvas)>;

  TPRPage();
  ~TPRPage() override;
  std::string_view ClassName() const override { return "TPRPage"; }

  int MarginTop() const { return marginTop_; }
  int MarginLeft() const { return marginLeft_; }
  int MarginRight() const { return marginRight_; }
  int MarginBottom() const { return marginBottom_; }
  // Ignored when equal or negative; accepted below half the page width.
  void SetMarginTop(int value) { SetMargin(marginTop_, value); }
  void SetMarginLeft(int value) { SetMargin(marginLeft_, value); }
  void SetMarginRight(int value) { SetMargin(marginRight_, value); }
  void SetMarginBottom(int value) { SetMargin(marginBottom_, value); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  TPRPrintPageEvent OnPrintPage;

  // Page size into the PDF page, the handler, then every child panel.
  void PrintTo(TPRCanvas& canvas);
  // A document that only measures, for laying text out on screen.
  TPdfDoc& MeasuringDocument();

 protected:
  TRect AlignRect() const override;

 private:
  void SetMargin(int& margin, int value);

  int marginTop_ = kDefaultMargin;
  int marginLeft_ = kDefaultMargin;
  int marginRight_ = kDefaultMargin;
  int marginBottom_ = kDefaultMargin;
  bool visible_ = true;
  std::unique_ptr<TPdfDoc> measuringDocument_;
};

class TPRPanel : public TPRControl {
 public:
  TPRPanel() : TPRControl(kDefaultWidth, kDefaultHeight) {}
  std::string_view ClassName() const override { return "TPRPanel"; }

  // The nearest page among the ancestors, or nullptr.
  TPRPage* GetPage() const;
  // Every child in order at its bounds moved by rect's corner: panels
  // recursively, printable items.
  virtual void PrintTo(TPRCanvas& canvas, const TRect& rect);

 private:
  static constexpr int kDefaultWidth = 185;
  static constexpr int kDefaultHeight = 100;
};

class TPRLayoutPanel final : public TPRPanel {
 public:
  using TPRPrintPanelEvent = std::function<void(TPRLayoutPanel& sender, TPRCanvas& canvas, const TRect& rect)>;

  std::string_view ClassName() const override { return "TPRLayoutPanel"; }
  void PrintTo(TPRCanvas& canvas, const TRect& rect) override;

  TPRPrintPanelEvent BeforePrint;
  TPRPrintPanelEvent AfterPrint;

 protected:
  // Only a page or a panel (or nothing).
  void CheckParent(const TPRControl* parent) const override;
};

class TPRItem : public TPRControl {
 public:
  TPRItem() : TPRControl(kDefaultWidth, kDefaultHeight) {}
  std::string_view ClassName() const override { return "TPRItem"; }

  bool Printable() const { return printable_; }
  void SetPrintable(bool printable) { printable_ = printable; }
  // The page of the parent panel, or nullptr.
  TPRPage* GetPage() const;
  // That page's measuring document, or nullptr.
  TPdfDoc* GetPageDocument() const;
  virtual void PrintTo(TPRCanvas& canvas, const TRect& rect);

 protected:
  // Only a panel (or nothing).
  void CheckParent(const TPRControl* parent) const override;

 private:
  static constexpr int kDefaultWidth = 100;
  static constexpr int kDefaultHeight = 30;
  bool printable_ = true;
};

}  // namespace varnolt
