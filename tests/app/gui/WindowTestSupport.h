// Helpers of the main-window tests: an asker that answers for the person,
// and the real window, shown on the offscreen platform, with its pages and
// its settings file in a temporary folder.
#pragma once

#include <QTest>

#include <cstdlib>
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
    // The user's configuration folders and the program's folder, where the
    // window looks for its settings file, are folders of the test.
    std::filesystem::create_directories(programFolder);
    ::setenv("HOME", (dir / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    window = NewWindow(asker);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  // A window as the program starts it, shown, with its program folder in
  // the test's folder.
  std::unique_ptr<gui::TAMainForm> NewWindow(TestAsker*& itsAsker) {
    auto owned = std::make_unique<TestAsker>();
    itsAsker = owned.get();
    auto made = std::make_unique<gui::TAMainForm>(std::move(owned));
    made->ProgramFolder = Q(programFolder) + "/";
    made->show();
    return made;
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
  const std::filesystem::path programFolder = dir / "program";
  // Where the settings file is when the program's folder has none.
  const std::filesystem::path settingsFile = dir / "config" / "zelm" / "ZELM.inf";
  TestAsker* asker = nullptr;
  std::unique_ptr<gui::TAMainForm> window;
};

}  // namespace zelm::test
