#pragma once
// The editable view over one document: caret and selection, the check and
// bracket every change runs in, inserting text and pictures, deleting,
// clearing, plain Unicode text with the clipboard, and undo and redo.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Clipboard.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVPageSetup.h"
#include "richtext/editor/RVUndo.h"
#include "richtext/graphic/RVGraphic.h"
#include "richtext/layout/RVLayout.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/writer/RVRTFWriter.h"

namespace varnolt {

enum TRVEditorOption : std::uint8_t {
  rvoClearTagOnStyleApp,
  rvoCtrlJumps,
  rvoDoNotWantReturns,
  rvoDoNotWantShiftReturns,
  rvoWantTabs,
};
using TRVEditorOptions = TRVSet<TRVEditorOption, std::uint16_t>;

enum TRVOption : std::uint8_t {
  rvoAllowSelection,
  rvoScrollToEnd,
  rvoShowPageBreaks,
  rvoShowSpecialCharacters,
  rvoAutoCopyText,
  rvoAutoCopyUnicodeText,
  rvoAutoCopyRVF,
  rvoAutoCopyImage,
  rvoAutoCopyRTF,
  rvoFormatInvalidate,
  rvoDblClickSelectsWord,
  rvoRClickDeselects,
  rvoFastFormatting,
  rvoTagsArePChars,
};
using TRVOptions = TRVSet<TRVOption, std::uint32_t>;

enum TRVDragDropFormat : std::uint8_t {
  rvddRVF,
  rvddRTF,
  rvddText,
  rvddUnicodeText,
  rvddBitmap,
  rvddMetafile,
  rvddFiles,
};
using TRVDragDropFormats = TRVSet<TRVDragDropFormat, std::uint8_t>;

enum TRVLiveSpellingMode : std::uint8_t { rvlspOff, rvlspOnChange };

// Keys the editor handles itself, by their virtual-key codes.
enum TRVKey : std::uint16_t {
  rvkBack = 8,
  rvkTab = 9,
  rvkReturn = 13,
  rvkPageUp = 33,
  rvkPageDown = 34,
  rvkEnd = 35,
  rvkHome = 36,
  rvkLeft = 37,
  rvkUp = 38,
  rvkRight = 39,
  rvkDown = 40,
  rvkInsert = 45,
  rvkDelete = 46,
  rvkC = 'C',
  rvkV = 'V',
  rvkX = 'X',
  rvkZ = 'Z',
};
enum TRVShiftKey : std::uint8_t { ssShift, ssAlt, ssCtrl };
using TRVShiftState = TRVSet<TRVShiftKey, std::uint8_t>;

// The document of an editor: items plus the caret and the selection.
enum class TRVMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

class TRVEditRVData : public TCustomRVData {
 public:
  TRVPosition Caret;
  // The fixed end of the selection and its moving end (where the caret is).
  TRVPosition SelectionAnchor;
  TRVPosition SelectionEnd;

  bool GetSelectionBounds(TRVPosition& start, TRVPosition& end) const override;
};

class TCustomRichDocEdit {
 public:
  TCustomRichDocEdit();
  virtual ~TCustomRichDocEdit();
  TCustomRichDocEdit(const TCustomRichDocEdit&) = delete;
  TCustomRichDocEdit& operator=(const TCustomRichDocEdit&) = delete;

  // --- settings ---

  TRVStyle* Style() const { return data_.GetRVStyle(); }
  void SetStyle(TRVStyle* style) { data_.SetRVStyle(style); }
  void SetClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }
  TRVEditorOptions EditorOptions{rvoCtrlJumps, rvoWantTabs};
  TRVOptions Options() const { return options_; }
  void SetOptions(TRVOptions options);
  TRVDragDropFormats AcceptDragDropFormats{rvddRVF, rvddRTF, rvddText, rvddUnicodeText, rvddBitmap, rvddMetafile,
                                           rvddFiles};
  TRVLiveSpellingMode LiveSpellingMode = rvlspOnChange;
  bool ReadOnly = false;
  // The height Page Up and Page Down move by, the view's; 0 moves twenty lines.
  double PageHeight = 0;
  std::int32_t UndoLimit() const { return undo_.Limit; }
  void SetUndoLimit(std::int32_t limit);

  // OnChanging may refuse a change by clearing its argument.
  std::function<void(bool& allow)> OnChanging;
  std::function<void()> OnChange;
  std::function<void()> OnSelectionChanged;
  std::function<void()> OnBeep;
  // A mouse button went down at (x, y) in the editor's own coordinates; the
  // view that draws the editor raises it before handling the click itself.
  std::function<void(TRVMouseButton button, int x, int y)> OnRVMouseDown;
  int BeepCount() const { return beepCount_; }

  // --- state ---

  TRVEditRVData& RVData() { return data_; }
  const TRVEditRVData& RVData() const { return data_; }
  // Lays out first what an editor formatting on demand left.
  TRVLayout& Layout() {
    if (formatPending_) EnsureFormatted();
    return layout_;
  }
  const TRVLayout& Layout() const { return layout_; }
  TRVUndoList& UndoList() { return undo_; }
  TRVRedoList& RedoList() { return redo_; }
  bool Modified() const { return modified_; }
  // What RTF brought for the pages of the editor's document: an insertion
  // fills what is still missing, clearing the document clears it.
  TRVPageSetup& PageSetup() { return pageSetup_; }
  const TRVPageSetup& PageSetup() const { return pageSetup_; }

  std::int32_t CurTextStyleNo = 0;
  std::int32_t CurParaStyleNo = 0;
  TRVPosition Caret() const { return data_.Caret; }
  // Moves the caret (clamped into the document) and takes the current styles
  // from the item there; the selection becomes empty.
  void SetCaret(int itemNo, int offset);
  // Selects from (startItem, startOffset) to (endItem, endOffset); the caret
  // goes to the end.
  void SetSelectionBounds(int startItem, int startOffset, int endItem, int endOffset);

  // A cell's editor that operations go to while it is active (not owned).
  void SetInplaceEditor(TCustomRichDocEdit* editor) { inplace_ = editor; }
  TCustomRichDocEdit* InplaceEditor() const { return inplace_; }
  // A table item operating with the mouse; changes wait for it.
  void SetCaptureItem(const TCustomRVItemInfo* item) { captureItem_ = item; }

  // --- operations ---

  bool EnsureEditable(bool allowCapture);
  void InsertTextAtCaret(std::u16string_view text, bool caretBeforeText = false);
  bool InsertPictureAtCaret(const std::u16string& name, std::unique_ptr<TGraphic> picture, TRVVAlign vAlign);
  // Puts items made by an import (RTF, RVF) at the caret as one insertion
  // step, replacing the selection; the caret goes after them. The first item
  // joins the caret's line, except that an empty paragraph at the caret gives
  // way to the inserted content. When the import failed part way the editor
  // beeps after inserting. False when the editor refuses (it beeps).
  bool InsertImportedItems(TRVItemList items, bool importFailed);
  // RTF read with props and inserted at the caret (of the cell being edited,
  // if any) as one undoable step, replacing the selection. What was read
  // before a failure is inserted like the rest. When the editor refuses the
  // result is kRtfHandlerError (RVEditImport).
  std::uint8_t InsertRTF(TRVRTFReaderProperties& props, std::string_view rtf);
  std::uint8_t InsertRTF(TRVRTFReaderProperties& props, std::istream& rtf);
  // The same for a file, with props' BasePath its folder for the time of the
  // import; kRtfFileError when it cannot be read.
  std::uint8_t InsertRTFFile(TRVRTFReaderProperties& props, const std::string& fileName);
  // One typed character; characters typed one after another at one place
  // are one undo group, undone one character per step.
  void TypeCharacter(char16_t character);
  void SelectWholeDocument();
  // The word (by the word break rules) or the paragraph around a position.
  void SelectWordAt(TRVPosition position);
  void SelectParagraphAt(TRVPosition position);
  bool HasSelection() const;
  // The selection's plain text (CR LF line ends), UTF-16LE or 8-bit bytes.
  std::string SelectedText(bool unicode) const;
  // The same text handed to sink in chunks of chunkSize bytes, never held
  // whole; false when the extraction failed part way (an exception from
  // sink stops it too). With listLabels, list paragraphs start with their
  // labels as the page shows them.
  bool SelectedText(bool unicode, TRVTextChunkSink sink, std::size_t chunkSize, bool listLabels = false) const;
  void CopyAsUnicodeText();
  void PasteUnicodeText();
  void DeleteSelected();
  void ClearDocument();
  void RepaintEditor();
  // Lays out every paragraph again (after a change of styles, say).
  void ReformatDocument();
  // Lays out what changed; an empty document first gets one empty text item.
  // Between BeginUpdate and EndUpdate the lines wait for EndUpdate (or for
  // whatever needs them first), so that many insertions lay out once.
  void Format();
  void BeginUpdate() { ++updateLevel_; }
  // Lines serve views and line moves only: an editor that no view shows
  // (the batch mode's pages) leaves them to whatever asks for its Layout().
  void SetFormatOnDemand(bool value) { formatOnDemand_ = value; }
  void EndUpdate();
  void UndoLastGroup();
  void RedoLastGroup();

  // --- rich content: the clipboard in every format, RTF files, keys ---

  // Written by the RTF writer (RVEditClipboard).
  TRVRTFOptions RTFOptions = kRVDefaultRTFOptions;
  // How RTF is read into this editor.
  TRVRTFReaderProperties RTFReadProperties;
  std::function<void()> OnCopy;
  // Clearing doDefault leaves the paste to the handler.
  std::function<void(bool& doDefault)> OnPaste;
  // RVF, 8-bit text, a lone picture, Unicode text and RTF, in this order.
  void CopyAllFormats();
  // The formats the Options ask for; true when any is asked for.
  bool CopyByOptions();
  void CutSelection();
  // The richest format on the clipboard: RVF, RTF, Unicode text, 8-bit
  // text, files, bitmap, metafile.
  void PasteFromClipboard();
  // The selection as the clipboard's RVF block, and such a block inserted at
  // the caret as a paste does: what one editor hands another without the
  // clipboard.
  std::string SelectionAsRvfBlock() const;
  bool PasteRvf(const std::string& block);
  // The whole document inserted into target as PasteRvf(SelectionAsRvfBlock())
  // of the whole document would insert it, by moving the items rather than
  // writing and reading them; this editor is left empty. Only for content
  // that the RVF passes unchanged (text, list markers, tabs, lines, tables and
  // notes holding the same): false, with nothing moved, for anything else.
  bool MoveDocumentInto(TCustomRichDocEdit& target);
  // False (and error code 8 in RTFReadProperties) when the file cannot be read.
  bool ImportRtfFileAtCaret(const std::string& fileName);
  bool WriteRtfFile(const std::filesystem::path& fileName, bool selectionOnly);
  // A key going down; false when the editor leaves it to others (a typed
  // character then arrives through KeyPress).
  bool KeyDown(TRVKey key, TRVShiftState shift);
  void KeyPress(char16_t character);

  // --- reading ---

  int CountItems() const { return data_.CountItems(); }
  TCustomRVItemInfo& ItemAt(int index) { return data_.ItemAt(index); }
  int IndexOfItem(const TCustomRVItemInfo* item) const { return data_.IndexOfItem(item); }
  int CaretItemIndex() const;
  std::int32_t EffectiveStyleOf(int index) const { return data_.EffectiveStyleOf(index); }
  bool StartsNewLine(int index) const { return data_.StartsNewLine(index); }
  // Empty for non-text items.
  std::u16string ItemTextAt(int index) const;

 private:
  enum class TRVEditCheck { kCheck, kAlreadyChecked };
  template <typename Operation>
  bool RunChange(std::uint8_t kind, TRVEditCheck check, Operation&& operation);
  void Beep();
  bool CaretCanTakeInsertion() const;
  // Clipboard blocks of the selection.
  std::string SelectionAsRtf() const;
  const TGraphic* SelectedLonePicture() const;
  bool PasteRtf(const std::string& rtf);
  // read fills a scratch document (RVEditImport).
  using TRVScratchReader = std::function<std::uint8_t(TCustomRVData& scratch, std::int32_t paraBefore,
                                                      TRVPageSetup* pageSetup)>;
  std::uint8_t InsertReadRTF(TRVRTFReaderProperties& props, const TRVScratchReader& read);
  void PastePictures();
  void InsertPictureFile(const std::string& fileName);
  // Caret movement for the keyboard.
  TRVPosition StepLeft(TRVPosition position) const;
  TRVPosition StepRight(TRVPosition position) const;
  TRVPosition LineBoundary(TRVPosition position, bool end) const;
  TRVPosition LinesAway(TRVPosition position, int lines);
  TRVPosition PageAway(TRVPosition position, int pages);
  // Up and Down keep to the x they started from while the caret stays where they put it.
  double VerticalMoveX(TRVPosition position);
  TRVPosition WordBoundary(TRVPosition position, bool forward) const;
  void DeleteWord(bool before);
  void MoveCaret(TRVPosition target, bool extend);
  void DeleteNextTo(bool before);
  void EnsureNotEmpty();
  void ChangeNotification(bool clearRedo);
  void SelectionChanged();
  // Cuts the text into items and inserts them at the caret, inside a change.
  void InsertTextAsItems(std::u16string_view text, bool caretBeforeText);
  bool DeleteSelectionInGroup();
  // Protected items and text refuse deletion.
  bool SelectionCanBeDeleted() const;
  bool SelectionIsDeletable(TRVPosition start, TRVPosition end) const;
  void JoinAfterDeletion(int joined, bool headRemoved, std::uint8_t headFlags, std::int32_t headPara);
  void KeepMarkersCompany(int from, int to);
  // Inserts the items at the caret; returns the inserted range after merging
  // with the neighbours.
  std::pair<TRVPosition, TRVPosition> InsertItemsAtCaret(TRVItemList items);
  int PrepareInsertionPoint(TRVItemList& items);
  void CopyListMarkers(TRVItemList& items, int paragraphStart) const;
  bool TryTypeIntoItem(char16_t character);
  void PlaceCaret(TRVPosition position);
  // Reverts the last group of `from`, recording the inverse in a group of `into`.
  TRVPosition RevertLastGroup(TRVUndoList& from, TRVUndoList& into);
  void FinishHistoryStep(TRVPosition caret);
  TRVPosition ClampPosition(TRVPosition position) const;
  TRVDocChanges Changes() { return TRVDocChanges(data_, &undo_); }
  // Lines for what reads them, even inside BeginUpdate.
  void EnsureFormatted();
  // Lays out what changed now, or later when formatting on demand.
  void UpdateLayout();

  TRVEditRVData data_;
  TRVPageSetup pageSetup_;
  TRVLayout layout_;
  TRVUndoList undo_;
  TRVRedoList redo_;
  TRVOptions options_{rvoAllowSelection, rvoFormatInvalidate};
  Clipboard* clipboard_ = nullptr;
  TCustomRichDocEdit* inplace_ = nullptr;
  const TCustomRVItemInfo* captureItem_ = nullptr;
  bool modified_ = false;
  int beepCount_ = 0;
  int updateLevel_ = 0;
  bool formatOnDemand_ = false;
  bool formatPending_ = false;  // changes not laid out yet
  // Up and Down keep the column they started from while the caret stays where they left it.
  double verticalX_ = 0;
  TRVPosition verticalCaret_;
};

class TRichDocEdit : public TCustomRichDocEdit {};

}  // namespace varnolt
