// A shown main window over the real (offscreen) system clipboard, with the
// answers its modal dialogs will get, given in advance in the order they open.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "gui/MainWindow.h"
#include "gui/QtClipboard.h"
#include "tests/gui/GuiTestApplication.h"

namespace varnolt::test {

class GuiFixture : public ::testing::Test {
 protected:
  using Answer = std::function<void(QWidget*)>;

  GuiFixture() {
    TestApplication();
    QApplication::setApplicationName("Varnolt");
    QApplication::clipboard()->clear();
    clipboard = std::make_unique<QtClipboard>(*QApplication::clipboard());
    window = std::make_unique<MainWindow>(*clipboard);
    window->Host().urlOpener = [this](const QString& url) { openedUrls << url; };
    // A modal that opens with no answer waiting is recorded and closed, so a
    // wrong turn fails the test instead of hanging it.
    QObject::connect(&modalWatch, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      // An answer closes its dialog, which leaves the modal stack at once.
      if (modal == nullptr) return;
      if (answers.empty()) {
        unexpected << modal->windowTitle() + ": " + TextOf(modal);
        CloseModal(modal);
      } else {
        Answer answer = std::move(answers.front());
        answers.pop_front();
        answer(modal);
      }
    });
    modalWatch.start(5);
    window->show();
    Settle();
  }

  ~GuiFixture() override {
    EXPECT_TRUE(answers.empty()) << answers.size() << " dialogs never opened";
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" | ").toStdString();
  }

  static QString TextOf(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    return box ? box->text() : QString();
  }
  static void CloseModal(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
  }
  static void Settle() {
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }

  // The next message box: its caption and text are kept, then it is closed.
  void ExpectMessage() {
    answers.push_back([this](QWidget* modal) {
      messages << modal->windowTitle() + "|" + TextOf(modal);
      CloseModal(modal);
    });
  }
  // The next yes-or-no question: its text is kept, then the button is pressed.
  void AnswerQuestion(QMessageBox::StandardButton button) {
    answers.push_back([this, button](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr) << modal->metaObject()->className();
      ASSERT_NE(box->button(button), nullptr) << box->text().toStdString();
      questions << box->text();
      box->button(button)->click();
    });
  }
  // The next file dialog: its title and filters are kept, then it is answered.
  void AnswerFileDialog(const QString& path) {
    answers.push_back([this, path](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
      fileDialogs << dialog->windowTitle() + "|" + dialog->nameFilters().join(";") + "|" + dialog->defaultSuffix();
      dialogFolders << dialog->directory().absolutePath();
      if (path.isEmpty()) {
        dialog->reject();
      } else {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
      }
    });
  }

  TForm2& Form() { return window->Form(); }
  QString Status() const { return window->findChild<QLabel*>("StatusPanel1")->text(); }

  // Keys as a person types them: into the focused widget, past the shortcuts.
  void ActivateWindow() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  static void Type(const QString& keys) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), keys);
    Settle();
  }
  static void Keys(const QKeySequence& keys) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keySequence(QApplication::focusWidget(), keys);
    Settle();
  }
  // The view the page area shows.
  TRVPageView* ShownView() const {
    auto* stack = qobject_cast<QStackedLayout*>(window->PageViewSlot()->layout());
    return stack ? qobject_cast<TRVPageView*>(stack->currentWidget()) : nullptr;
  }
  // What a person sees, saved for looking at.
  static void SaveScreenshot(const QImage& shot, const std::string& name) {
    EXPECT_TRUE(shot.save(QString::fromStdString((ScreenshotFolder() / name).string()))) << name;
  }
  std::u16string PageText() { return TextOfPage(Form().CurrentPage); }
  std::u16string TextOfPage(int page) {
    auto& editor = *Form().PageEditors.at(static_cast<size_t>(page));
    std::u16string text;
    for (int i = 0; i < editor.CountItems(); ++i) text += editor.ItemTextAt(i);
    return text;
  }
  QAction* MenuAction(const QString& menu, const QString& text) {
    auto* owner = window->findChild<QMenu*>(menu);
    if (owner == nullptr) return nullptr;
    for (QAction* action : owner->actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }
  void Trigger(const QString& menu, const QString& text) {
    QAction* action = MenuAction(menu, text);
    ASSERT_NE(action, nullptr) << menu.toStdString() << " > " << text.toStdString();
    action->trigger();
    Settle();
  }
  void TriggerNamed(const QString& name) {
    auto* action = window->findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name.toStdString();
    action->trigger();
    Settle();
  }
  void Press(const QString& widget, Qt::MouseButton button = Qt::LeftButton) {
    auto* target = window->findChild<QWidget*>(widget);
    ASSERT_NE(target, nullptr) << widget.toStdString();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), target->mapToGlobal(QPointF(2, 2)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    Settle();
  }

  std::unique_ptr<QtClipboard> clipboard;
  std::unique_ptr<MainWindow> window;
  QTimer modalWatch;
  std::deque<Answer> answers;
  QStringList messages, fileDialogs, dialogFolders, questions, unexpected, openedUrls;
};

}  // namespace varnolt::test
