#include "app/preview_browser.h"

namespace gw::app {

void PreviewBrowser::start(const QString& title, const QString& article) {
  titles_ = QStringList{title};
  articles_ = QStringList{article};
  position_ = 0;
}

void PreviewBrowser::add(const QString& title, const QString& article) {
  titles_.append(title);
  articles_.append(article);
}

bool PreviewBrowser::back() {
  if (!canGoBack()) {
    return false;
  }
  --position_;
  return true;
}

bool PreviewBrowser::forward() {
  if (!canGoForward()) {
    return false;
  }
  ++position_;
  return true;
}

QString PreviewBrowser::title() const {
  return count() == 0 ? QString() : titles_[position_];
}

QString PreviewBrowser::article() const {
  return count() == 0 ? QString() : articles_[position_];
}

QString PreviewBrowser::positionText() const {
  const int shown = count() == 0 ? 0 : position_ + 1;
  return QStringLiteral("第 %1/%2 篇").arg(shown).arg(count());
}

}  // namespace gw::app
