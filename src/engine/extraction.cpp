#include "engine/extraction.h"

#include "engine/chinese_forms.h"
#include "engine/patterns.h"
#include "engine/replace_list.h"
#include "regex/regex_service.h"
#include "text/charset.h"
#include "text/line_ends.h"
#include "text/source_reader.h"

namespace gw {
namespace {

std::string Counted(std::string_view prefixUtf8, const SourceRef& source) {
  return Utf8ToGbk(prefixUtf8) + std::to_string(source.fileCount) + ":" +
         std::to_string(source.fileIndex) + ") " + SourceDisplayName(source.path);
}

}  // namespace

std::string SourceDisplayName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) {
    name = name.substr(0, dot);
  }
  return Utf8ToGbk(name);
}

LoadedSource LoadSource(Host& host, RunContext& run, const Options& options,
                        const SourceRef& source, MarkerRemoval markers, ReadAhead* readAhead) {
  LoadedSource loaded;
  host.sourceStarted(source.fileIndex, source.fileCount);
  host.setStatus(Counted("正在分析格式..(", source));
  const auto stopped = [&host] { return host.stopRequested(); };

  if (source.preview) {
    loaded.text = host.previewSourceText();
  } else {
    const auto encoding = static_cast<TextEncoding>(options.组合框编码);
    TextEncoding detected = TextEncoding::Gbk;
    SourceRead read;
    if (readAhead != nullptr && readAhead->encoding == encoding &&
        (readAhead->read.status != SourceStatus::Stopped || stopped())) {
      read = std::move(readAhead->read);
    } else {
      read = ReadSource(source.path, encoding, detected, run.pool().threads(), stopped);
    }
    if (read.status == SourceStatus::Stopped) {
      return loaded;  // the caller ends the source on the stop request
    }
    if (read.status != SourceStatus::Read) {
      loaded.failure = LoadFailure::Unreadable;
      loaded.readStatus = read.status;
      loaded.readError = read.error;
      return loaded;
    }
    loaded.text = std::move(read.text);
  }
  std::string& text = loaded.text;
  // The message pattern knows only CR LF: an export saved with bare LF line ends is read as if
  // they were CR LF.
  text = WithCrLfLineEnds(std::move(text));
  // Each whole-text step takes a while on a large export: a stop requested meanwhile skips the
  // steps still to come (the caller then ends the source).
  if (stopped()) {
    return loaded;
  }

  const bool wholeTextStepsFollow = options.选择框自定义替换 || options.选择框过滤屏蔽词 ||
                                    options.组合框繁简转换 == 1 || options.组合框繁简转换 == 2;
  if (markers == MarkerRemoval::LeftToCutting && !wholeTextStepsFollow) {
    loaded.markersLeft = true;
    return loaded;
  }
  text = RemoveChatMarkers(std::move(text));

  if (options.选择框自定义替换 && !stopped()) {
    if (options.选择框正则替换) {
      RegexService custom;
      custom.create(options.编辑框欲替换, options.选择框忽视大小写, true, true);
      if (!custom.isValid()) {
        host.reportError(Utf8ToGbk("正则表达式有误：") + custom.compileError());
        loaded.text.clear();
        loaded.failure = LoadFailure::PatternRejected;
        return loaded;
      }
      text = custom.replace(text, options.编辑框替换为);
      if (custom.searchFailed()) {
        // The pattern backtracked past the engine's limits on this text: the replacement was
        // not made, so the source must not go on as if it had been.
        static const std::string limitHit = Utf8ToGbk("正则替换超出匹配限制，未能完成");
        static const std::string skipped = Utf8ToGbk("，文件未处理：");
        host.reportError(source.preview ? limitHit : limitHit + skipped + Utf8ToGbk(source.path));
        loaded.text.clear();
        loaded.failure = LoadFailure::PatternRejected;
        return loaded;
      }
    } else {
      text = ReplaceList(std::move(text), options.编辑框欲替换, options.编辑框替换为,
                         !options.选择框忽视大小写, false);
    }
  }

  if (options.选择框过滤屏蔽词 && !stopped()) {
    if (source.preview) {
      run.loadBlockedWords(host, options);
    }
    host.setStatus(Counted("正在执行屏蔽词过滤..(", source));
    FilterBlockedWordsInPlace(text, run.blockedWords(),
                              static_cast<std::size_t>(run.pool().threads()));
  }

  if (stopped()) {
    return loaded;
  }
  std::string conversionError;
  if (options.组合框繁简转换 == 1) {
    text = ToSimplifiedChinese(text, &conversionError);
  } else if (options.组合框繁简转换 == 2) {
    text = ToTraditionalChinese(text, &conversionError);
  }
  // Without the conversion library or its data the text goes on unconverted; the user is told
  // once a run.
  if (!conversionError.empty() && !run.conversionFailureReported) {
    run.conversionFailureReported = true;
    host.reportError(Utf8ToGbk("繁简转换不可用，文本未转换：") + Utf8ToGbk(conversionError));
  }
  return loaded;
}

}  // namespace gw
