// Extraction and generation with the form's default options: the input is a chat export (GBK
// bytes). The source is loaded, cut into messages and cleaned; then a whole generation writes
// its articles into a scratch folder, and a preview runs on the same text.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/extraction.h"
#include "engine/generation.h"
#include "engine/message_cleaner.h"
#include "engine/run_context.h"
#include "fuzz_support.h"
#include "text/gbk_chars.h"

namespace {

using gw::fuzz::Check;

int FilesIn(const std::filesystem::path& folder) {
  int files = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    Check(entry.is_regular_file(), "the output folder holds only articles");
    ++files;
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const gw::fuzz::ScratchFolder& scratch = gw::fuzz::Scratch();
  scratch.clear();
  const std::filesystem::path sourcePath = scratch.path() / "export.txt";
  gw::fuzz::WriteFile(sourcePath, bytes);

  gw::fuzz::QuietHost host(gw::Options::FormDefaults());
  const gw::Options& options = *host.currentOptions();
  gw::SourceRef source;
  source.path = sourcePath.string();
  source.fileCount = 1;
  source.fileIndex = 1;

  // Extraction on its own: every message position is handed over once, in order.
  int messageCount = 0;
  {
    gw::RunContext run(1);
    gw::LoadedSource loaded = gw::LoadSource(host, run, options, source);
    Check(loaded.failure == gw::LoadFailure::None, "a readable source loads");
    Check(loaded.text.find('\0') == std::string::npos, "loaded text holds no NUL");
    const gw::MessageCleaner cleaner(options);  // for its limits
    gw::MessageList messages(std::move(loaded.text), host);
    messageCount = messages.count();
    int expected = 1;
    const gw::MessageCounts fed = gw::FeedMessages(
        host, run, messages, options, [&](int index, int count, std::string_view message) {
          Check(index == expected++, "messages come in order");
          Check(count == messages.count(), "the count is the list's");
          // The length limits are checked before the delete rules (web and e-mail addresses by
          // default) shorten a message, so a kept message may end below the minimum, never
          // above the maximum.
          if (!message.empty()) {
            const int chars = gw::CharCount(message);
            Check(cleaner.maximumLength() <= 0 || chars <= cleaner.maximumLength(),
                  "a kept message is short enough");
          }
          return true;
        });
    Check(expected - 1 == messages.count(), "every message is handed over");
    Check(fed.found == messages.count(), "the counts find every message");
    Check(fed.taken + fed.droppedInAll() == fed.found, "every message is taken or dropped");
  }

  // A whole generation: as many article files as articles counted. A source without any
  // message is reported as a file problem, once, and gets no output folder.
  {
    gw::RunContext run(2);
    const int problemsBefore = host.fileProblems;
    const gw::SourceResult result = gw::GenerateFromSource(host, run, source);
    const bool noMessages = messageCount == 0;
    Check(result.failure == (noMessages ? gw::LoadFailure::NoMessages : gw::LoadFailure::None),
          "a readable source generates, or says it holds no message");
    Check(!noMessages || host.fileProblems - problemsBefore == 1,
          "a source without messages is told once");
    Check(!noMessages || !std::filesystem::exists(scratch.path() / "export"),
          "a source without messages gets no output folder");
    Check(run.articlesWritten == result.articlesWritten, "the run counts the source's articles");
    const int files = FilesIn(scratch.path() / "export");
    Check(files == result.articlesWritten, "every counted article is a file");
  }

  // A preview of the same text writes nothing.
  {
    host.preview = gw::UntilFirstNul(bytes);
    gw::RunContext run(3);
    gw::SourceRef preview;
    preview.preview = true;
    const gw::SourceResult result = gw::GenerateFromSource(host, run, preview);
    Check(result.failure == gw::LoadFailure::None, "a preview generates");
  }
  Check(host.errors == 0, "default options report no error");
  return 0;
}
