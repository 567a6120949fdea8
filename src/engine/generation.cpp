#include "engine/generation.h"

#include "engine/article_composer.h"
#include "engine/output_writer.h"
#include "engine/source_problems.h"

namespace gw {

SourceResult GenerateFromSource(Host& host, RunContext& run, const SourceRef& source,
                                const std::function<void()>& halfway, ReadAhead* readAhead) {
  SourceResult result;
  const Options options = *host.currentOptions();
  LoadedSource loaded =
      LoadSource(host, run, options, source, MarkerRemoval::LeftToCutting, readAhead);
  if (loaded.failure != LoadFailure::None) {
    result.failure = loaded.failure;
    if (loaded.failure == LoadFailure::Unreadable) {
      host.reportFileProblem(SourceProblemText(loaded.readStatus, source.path, loaded.readError));
    }
    return result;
  }
  // A stop requested while the source was loading ends the source here, before the long pass
  // over the whole text.
  if (host.stopRequested()) {
    return result;
  }
  MessageList messages(std::move(loaded.text), host, run.pool(), loaded.markersLeft);
  // A file in which no sender line is recognised (not an export, or an empty file) is told to the
  // user instead of passing for a source that gave no articles; it gets no output folder. A
  // search given up on a stop request finds nothing too, and says nothing.
  if (messages.count() == 0 && !source.preview && !host.stopRequested()) {
    host.reportFileProblem(NoChatMessagesText(source.path));
    result.failure = LoadFailure::NoMessages;
    return result;
  }

  std::filesystem::path folder;
  if (!source.preview) {
    folder = OutputFolderFor(source.path, options.编辑框保存文件夹);
    PrepareOutputFolder(folder);
  }
  ArticleComposer composer(host, run, options, source.preview, source.fileIndex, source.fileCount,
                           folder);
  result.messages = FeedMessages(host, run, messages, options,
                                 [&](int index, int count, std::string_view message) {
                                   if (index == count / 2 + 1 && halfway) {
                                     halfway();
                                   }
                                   return composer.take(index, count, message);
                                 });
  composer.complete();
  result.articlesWritten = composer.articlesWritten();
  run.articlesWritten += result.articlesWritten;
  return result;
}

}  // namespace gw
