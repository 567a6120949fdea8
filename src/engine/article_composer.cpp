#include "engine/article_composer.h"

#include "engine/output_writer.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

namespace gw {
namespace {

// The separators, one per character of the separator box; one empty separator when it is empty.
std::vector<std::string> SeparatorList(std::string_view box) {
  std::vector<std::string> separators;
  ForEachChar(box, CrLf::AsOneChar, [&](std::size_t offset, std::size_t length) {
    separators.emplace_back(box.substr(offset, length));
  });
  if (separators.empty()) {
    separators.emplace_back();
  }
  return separators;
}

// The marks and status texts of article finishing, converted to GBK once.
struct FinishingTexts {
  std::string generating = Utf8ToGbk(") 正在生成第 ");
  std::string articles = Utf8ToGbk(" 篇..");
  std::string cannotWrite = Utf8ToGbk("无法写入文章：");
};

const FinishingTexts& Texts() {
  static const FinishingTexts texts;
  return texts;
}

// Articles being finished on the run's threads ahead of the one written next.
constexpr std::size_t kArticlesAhead = 8;

}  // namespace

const std::string& PreviewStatusLead() {
  static const std::string lead = Utf8ToGbk("聊天消息组合预览 - 标题：");
  return lead;
}

ArticleComposer::ArticleComposer(Host& host, RunContext& run, const Options& options, bool preview,
                                 int fileIndex, int fileCount, std::filesystem::path outputFolder)
    : host_(host),
      run_(run),
      preview_(preview),
      fileIndex_(fileIndex),
      fileCount_(fileCount),
      outputFolder_(std::move(outputFolder)),
      separators_(SeparatorList(options.编辑框分隔符)),
      separatorDraw_(run.random()),
      wordDraw_(run.random()),
      finishers_([] { return std::make_unique<ArticleFinisher>(); }) {
  paragraphTarget_ = drawTarget(options.编辑框连横1, options.编辑框连横2);
  articleTarget_ = drawTarget(options.编辑框合纵1, options.编辑框合纵2);
  if (options.选择框插入词) {
    words_ = PrepareWordList(options.编辑框词);
    if (words_.empty()) {
      host_.turnOffWordInsertion();
    } else {
      insertWords_ = true;
    }
  }
}

int ArticleComposer::drawTarget(const std::string& low, const std::string& high) {
  return RandomInRange(run_.random(), LeadingInteger(low), LeadingInteger(high));
}

bool ArticleComposer::take(int index, int count, std::string_view message) {
  if (done_) {
    return false;
  }
  if (!message.empty()) {
    if (paragraph_.empty()) {
      paragraph_ = message;
    } else {
      const int size = static_cast<int>(separators_.size());
      paragraph_ += separators_[separatorDraw_.Next(1, size) - 1];
      paragraph_ += message;
    }
    ++paragraphMessages_;
  }
  if (paragraphMessages_ >= paragraphTarget_ || index == count) {
    completeParagraph(index, count);
  }
  return !done_;
}

void ArticleComposer::completeParagraph(int index, int count) {
  std::string paragraph = std::move(paragraph_);
  paragraph_.clear();
  paragraphMessages_ = 0;
  const std::shared_ptr<const Options> options = host_.currentOptions();
  paragraphTarget_ = drawTarget(options->编辑框连横1, options->编辑框连横2);

  if (!paragraph.empty()) {
    if (options->选择框段落插入) {
      paragraph = options->编辑框前缀 + paragraph + options->编辑框后缀;
    }
    ++articleParagraphs_;
    article_ += paragraph;
    article_ += "\r\n";
  }
  if (articleParagraphs_ >= articleTarget_ || index == count) {
    finishArticle();
    articleParagraphs_ = 0;
    article_.clear();
    const std::shared_ptr<const Options> now = host_.currentOptions();
    articleTarget_ = drawTarget(now->编辑框合纵1, now->编辑框合纵2);
  }
}

ArticleComposer::~ArticleComposer() {
  for (const Underway& article : underway_) {
    try {
      run_.pool().wait(article.ticket);
    } catch (...) {  // NOLINT(bugprone-empty-catch): the article is not written anyway
    }
  }
}

void ArticleComposer::finishArticle() {
  std::shared_ptr<const Options> options = host_.currentOptions();
  std::string article = std::move(article_);
  const bool insertWords = insertWords_ && options->选择框插入词;
  if (insertWords) {
    article = InsertArticleWords(article, words_, *options, wordDraw_, run_.random(), chosenWord_);
  }
  std::string titleWord = insertWords && options->选择框插入到标题 ? chosenWord_ : std::string();
  const std::uint64_t seed = run_.random().next();

  auto finished = std::make_shared<FinishedArticle>();
  WorkPool::Ticket ticket =
      run_.pool().submit([this, finished, options, seed, article = std::move(article),
                          titleWord = std::move(titleWord)]() mutable {
        const auto finisher = finishers_.borrow();
        *finished = finisher->finish(std::move(article), *options, titleWord, seed);
      });
  underway_.push_back(Underway{std::move(ticket), std::move(finished), std::move(options)});
  if (preview_) {
    ++previewArticlesJoined_;
    // The first article is shown as soon as it is finished; the rest follow like a run's.
    if (previewArticlesJoined_ == 1 || previewArticlesJoined_ >= kPreviewArticleLimit) {
      complete();
    }
    if (previewArticlesJoined_ >= kPreviewArticleLimit) {
      done_ = true;
      return;
    }
  }
  deliverFinished(kArticlesAhead);
}

void ArticleComposer::complete() {
  deliverFinished(0);
}

void ArticleComposer::deliverFinished(std::size_t keep) {
  while (!underway_.empty() &&
         (underway_.size() > keep || run_.pool().done(underway_.front().ticket))) {
    const Underway article = std::move(underway_.front());
    underway_.pop_front();
    run_.pool().wait(article.ticket);
    deliver(*article.article, *article.options);
  }
}

void ArticleComposer::deliver(const FinishedArticle& article, const Options& options) {
  const std::string& title = article.title;
  if (preview_) {
    if (previewArticlesShown_++ == 0) {
      host_.setStatus(PreviewStatusLead() + title);
      host_.showPreview(title, article.text);
    } else {
      host_.addPreviewArticle(title, article.text);
    }
    return;
  }
  if (run_.writer().write(outputFolder_, title, options.编辑框扩展名, article.fileBytes())) {
    ++articlesWritten_;
    host_.setStatus("(" + std::to_string(fileIndex_) + ":" + std::to_string(fileCount_) +
                    Texts().generating + std::to_string(articlesWritten_) + Texts().articles +
                    title);
  } else {
    host_.reportFileProblem(Texts().cannotWrite +
                            Utf8ToGbk((outputFolder_ / GbkToUtf8(CleanFileName(title))).string()));
  }
}

}  // namespace gw
