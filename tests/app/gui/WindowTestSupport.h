// Helpers of the main-window tests: an asker that answers for the person,
// and the real window, shown on the offscreen platform, with its pages in a
// temporary folder.
#pragma once

#include <QTest>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/MainWindow.h"
#include "support/TestSupport.h"

namespace zelm::test {

// Stands in for the person: records every question and message, answers
// questions yes unless told otherwise, and picks the file names it is given.
class TestAsker : public gui::Asker {
 public:
  std::vector<QString> questions;
  std::vector<QString> messages;
  std::deque<bool> answers;  // taken one per question; yes when empty
  QString openName;
  QString saveName;
  QString folderName;
  QString openFolder;  // where the last open dialog started

  bool Confirm(const QString& text) override {
    questions.push_back(text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Tell(const QString& text) override { messages.push_back(text); }
  QString OpenFileName(const QString& folder, const QString&) override {
    openFolder = folder;
    return openName;
  }
  QString SaveFileName(const QString&, const QString&) override { return saveName; }
  QString FolderName(const QString&) override { return folderName; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<TestAsker>();
    asker = owned.get();
    window = std::make_unique<gui::TAMainForm>(std::move(owned));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  // A copy of a test page in the temporary folder.
  std::filesystem::path CopyPage(const std::string& name) {
    const std::filesystem::path copy = dir / name;
    std::filesystem::copy_file(TestDataDir() / "pages" / name, copy);
    return copy;
  }
  static QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
  // A pane's text as Shift_JIS.
  std::string Text(gui::PaneId id) const { return gui::PaneText(window->pane(id)); }

  TempDir dir;
  TestAsker* asker = nullptr;
  std::unique_ptr<gui::TAMainForm> window;
};

}  // namespace zelm::test
