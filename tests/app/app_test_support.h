// What the window tests share: dialogs answered by the test, a temporary folder, waiting for the
// event loop, and finding controls by name.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/dialogs.h"
#include "text/charset.h"

// Failed comparisons show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace gw::app::testing {

// GBK text from a UTF-8 literal.
inline std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// Every dialog the window opened, in order, answered from the queues below.
class FakeDialogs : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "files", "folder", "information", "warning", "confirm", "ask", "edit",
                       // "text"
    QString title;
    QString text;  // message text; the initial folder of a chooser
  };

  QStringList openFiles(QWidget*, const QString& title, const QString& filter,
                        const QString& folder, bool multiple) override {
    shown.push_back({"files", title, folder});
    lastFilter = filter;
    lastMultiple = multiple;
    if (fileAnswers.empty()) {
      return {};
    }
    QStringList answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  QString chooseFolder(QWidget*, const QString& title, const QString& initialFolder) override {
    shown.push_back({"folder", title, initialFolder});
    return folderAnswer;
  }
  void information(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({"information", title, text});
    if (onInformation) {
      onInformation(title, text);
    }
  }
  void warning(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({"warning", title, text});
  }
  bool confirm(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({"confirm", title, text});
    return true;
  }
  bool ask(QWidget*, const QString& title, const QString& text) override {
    shown.push_back({"ask", title, text});
    return askAnswer;
  }
  std::optional<QString> editText(QWidget*, const QString& title, const QString&,
                                  const QString& initialText) override {
    shown.push_back({"edit", title, initialText});
    return std::nullopt;
  }
  void showText(QWidget*, const QString& title, const QString&, const QString& text) override {
    shown.push_back({"text", title, text});
  }

  // The boxes of one kind, in order.
  std::vector<Shown> of(const std::string& kind) const {
    std::vector<Shown> found;
    for (const Shown& box : shown) {
      if (box.kind == kind) {
        found.push_back(box);
      }
    }
    return found;
  }

  std::deque<QStringList> fileAnswers;  // empty: the file dialog is cancelled
  QString folderAnswer;                 // empty: the folder chooser is cancelled
  bool askAnswer = false;               // the answer to every Yes / No question
  std::function<void(const QString&, const QString&)> onInformation;
  QString lastFilter;
  bool lastMultiple = false;
  std::vector<Shown> shown;
};

// A folder of its own for one test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("gathwrite-app-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// An export in the chat format (UTF-8, CR LF) with `messages` messages, each a sentence about
// the page read, followed by `more`.
inline std::string ChatText(int messages, std::string_view more = "") {
  std::string text = "消息记录（此消息记录为文本格式，不支持重新导入）\r\n\r\n" +
                     std::string(64, '=') + "\r\n消息对象:测试群\r\n" + std::string(64, '=') +
                     "\r\n\r\n";
  for (int i = 0; i < messages; ++i) {
    text += "2016-5-3 9:08:" + std::to_string(10 + i % 50) + " 某人(100)\r\n今天读到第" +
            std::to_string(i) + "页，书里的故事越来越有意思了" + std::string(more) + "\r\n\r\n";
  }
  return text;
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline QString PathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// Lets the event loop run until `done` holds; false after `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// The control named `name` of `window`; fails the test when there is none.
template <class Control>
Control& Find(QWidget& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromUtf8(name));
  if (!control) {
    ADD_FAILURE() << "no control " << name;
    throw std::runtime_error(name);
  }
  return *control;
}

}  // namespace gw::app::testing
