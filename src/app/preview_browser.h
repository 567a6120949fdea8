// The articles of the latest preview and the one on show: the first arrives alone, the others
// follow while the preview goes on, and the user steps through them with the previous and next
// buttons.
#pragma once

#include <QString>
#include <QStringList>

namespace gw::app {

class PreviewBrowser {
 public:
  // A new preview: its first article, which is shown.
  void start(const QString& title, const QString& article);
  // A later article of the same preview; the article on show stays.
  void add(const QString& title, const QString& article);

  int count() const { return static_cast<int>(articles_.size()); }
  // 0-based position of the article on show; 0 when there is none.
  int position() const { return position_; }
  bool canGoBack() const { return position_ > 0; }
  bool canGoForward() const { return position_ + 1 < count(); }
  // Steps to the previous or next article; false (nothing changes) at the ends.
  bool back();
  bool forward();

  // The article on show and its title; empty when there is none.
  QString title() const;
  QString article() const;
  // "第 i/n 篇"; "第 0/0 篇" before the first preview.
  QString positionText() const;

 private:
  QStringList titles_;
  QStringList articles_;
  int position_ = 0;
};

}  // namespace gw::app
