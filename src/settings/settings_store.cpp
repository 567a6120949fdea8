#include "settings/settings_store.h"

#include <system_error>
#include <utility>

#include "settings/settings_layout.h"
#include "settings/settings_values.h"
#include "text/charset.h"
#include "text/gbk_chars.h"
#include "text/line_ends.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
namespace layout = settings_layout;

// A section that still cannot be found after this many appends is given up.
constexpr int kMaxSectionAppends = 11;

std::string Join(std::string_view a, std::string_view b, std::string_view c = {}) {
  std::string joined;
  joined.reserve(a.size() + b.size() + c.size());
  joined.append(a).append(b).append(c);
  return joined;
}

// Reads the settings file. A file whose lines all end in a bare LF (written by an editor that
// uses that convention) has its line ends read as CR LF: the store knows no other line end, and
// its first edit would otherwise take every line after the edited key for the key's value and
// drop them. A file with any CR LF in it is kept byte for byte.
FileRead ReadSettingsFile(const fs::path& path, std::string& bytes) {
  const FileRead read = ReadWholeFile(path, bytes);
  if (read == FileRead::Read) {
    bytes = WithCrLfLineEnds(std::move(bytes));
  }
  return read;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Passes the must-contain / must-not-contain filters; an empty filter passes everything.
bool PassesFilters(std::string_view text, std::string_view mustContain,
                   std::string_view mustNotContain) {
  return (mustContain.empty() || Contains(text, mustContain)) &&
         (mustNotContain.empty() || !Contains(text, mustNotContain));
}

// The path with symbolic links resolved as far as it exists.
fs::path Resolved(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  return error ? path : resolved;
}

fs::path FolderOf(const fs::path& file) {
  const fs::path folder = file.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// A GBK name as one UTF-8 file-name component: a "/" cannot lead outside the folder.
std::string FileNameComponent(std::string_view gbk) {
  std::string name = GbkToUtf8(gbk);
  for (char& c : name) {
    if (c == '/' || c == '\0') {
      c = '_';
    }
  }
  return name;
}

// Sets a flag for the life of the object, also when an exception passes.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  ~BusyScope() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

void SettingsStore::close() {
  if (batchDepth_ > 0) {
    batchDepth_ = 1;
    endBatch();
  }
  lock_.reset();
  opened_ = false;
  memoryFile_ = false;
  writeAccess_ = WriteAccess::Unavailable;
  content_.clear();
}

bool SettingsStore::open(const fs::path& path, bool inMemory) {
  close();
  openedName_ = path;
  diskFile_ = Resolved(path);
  if (inMemory) {
    ReadSettingsFile(diskFile_, content_);
    memoryFile_ = true;
    opened_ = true;
    writeAccess_ = WriteAccess::Granted;
    return true;
  }
  std::error_code ignored;
  fs::create_directories(FolderOf(diskFile_), ignored);
  bool heldElsewhere = false;
  lock_ = FileLock::TryAcquire(diskFile_, &heldElsewhere);
  const FileRead read = ReadSettingsFile(diskFile_, content_);
  if (!lock_) {
    writeAccess_ = heldElsewhere ? WriteAccess::HeldElsewhere : WriteAccess::Unavailable;
    return false;
  }
  // A file that exists but cannot be read must never be replaced; a write-protected file is
  // only read.
  if (read == FileRead::Read && IsWriteProtected(diskFile_)) {
    writeAccess_ = WriteAccess::FileReadOnly;
  } else if (read == FileRead::Read ||
             (read == FileRead::Missing && StoreFileContent(diskFile_, ""))) {
    writeAccess_ = WriteAccess::Granted;
  }
  if (writeAccess_ != WriteAccess::Granted) {
    lock_.reset();
    return false;
  }
  RemoveStaleTemporaries(diskFile_);
  opened_ = true;
  return true;
}

bool SettingsStore::reload() {
  if (openedName_.empty()) {
    return false;
  }
  std::string bytes;
  const FileRead read = ReadSettingsFile(diskFile_, bytes);
  if (read == FileRead::Failed) {
    return false;
  }
  content_ = std::move(bytes);
  return true;
}

bool SettingsStore::setPath(const fs::path& path, int mode) {
  settingsPath_ = path;
  if (mode != static_cast<int>(Mode::File) && mode != static_cast<int>(Mode::Memory)) {
    mode_ = Mode::Registry;
    return false;
  }
  mode_ = static_cast<Mode>(mode);
  return open(path, mode_ == Mode::Memory);
}

bool SettingsStore::canWrite() const {
  return opened_ && (memoryFile_ || lock_.has_value());
}

void SettingsStore::reportFailure() const {
  if (failureHandler_) {
    failureHandler_(content_);
  }
}

bool SettingsStore::commit(std::string next) {
  if (memoryFile_ || batchDepth_ > 0) {
    if (batchDepth_ > 0 && !batchChanged_) {
      contentBeforeBatch_ = content_;
      batchChanged_ = true;
    }
    content_ = std::move(next);
    return true;
  }
  if (!StoreFileContent(diskFile_, next)) {
    reportFailure();
    return false;
  }
  content_ = std::move(next);
  return true;
}

void SettingsStore::beginBatch() {
  ++batchDepth_;
}

bool SettingsStore::endBatch() {
  if (batchDepth_ == 0 || --batchDepth_ > 0 || !batchChanged_) {
    return true;
  }
  batchChanged_ = false;
  if (memoryFile_ || StoreFileContent(diskFile_, content_)) {
    contentBeforeBatch_.clear();
    return true;
  }
  content_ = std::move(contentBeforeBatch_);
  contentBeforeBatch_.clear();
  reportFailure();
  return false;
}

// ---- the pending-edit queue ----

int SettingsStore::enqueue(Operation operation, std::vector<std::string> arguments) {
  pending_.push_back(PendingEdit{operation, std::move(arguments)});
  if (busy_) {
    return kQueued;
  }
  return runPendingEdits();
}

int SettingsStore::runPendingEdits() {
  if (pending_.empty()) {
    return kFailed;
  }
  // A drain is already running (this call comes from inside an edit): it applies the queue.
  if (busy_) {
    return kQueued;
  }
  std::optional<int> first;
  while (!pending_.empty()) {
    const PendingEdit edit = std::move(pending_.front());
    pending_.pop_front();
    int result = kFailed;
    {
      const BusyScope busy(busy_);
      result = apply(edit);
    }
    if (!first) {
      first = result;
    }
  }
  return *first;
}

int SettingsStore::runImmediately(const PendingEdit& edit) {
  if (busy_) {
    return apply(edit);
  }
  int result = kFailed;
  {
    const BusyScope busy(busy_);
    result = apply(edit);
  }
  // Edits issued while this one was applied follow it.
  runPendingEdits();
  return result;
}

int SettingsStore::apply(const PendingEdit& edit) {
  const std::vector<std::string>& a = edit.arguments;
  switch (edit.operation) {
    case Operation::Write:
      return applyWrite(a[0], a[1], a[2]);
    case Operation::Delete:
      return applyDelete(a[0], a[1]);
    case Operation::RenameSection:
      return applyRenameSection(a[0], a[1]);
    case Operation::RenameKey:
      return applyRenameKey(a[0], a[1], a[2]);
  }
  return kFailed;
}

int SettingsStore::writeEntry(std::string_view section, std::string_view key,
                              std::string_view value, bool immediate) {
  PendingEdit edit{Operation::Write, {std::string(section), std::string(key), std::string(value)}};
  return immediate ? runImmediately(edit) : enqueue(edit.operation, std::move(edit.arguments));
}

int SettingsStore::deleteEntry(std::string_view section, std::string_view key, bool immediate) {
  PendingEdit edit{Operation::Delete, {std::string(section), std::string(key)}};
  return immediate ? runImmediately(edit) : enqueue(edit.operation, std::move(edit.arguments));
}

int SettingsStore::renameSection(std::string_view section, std::string_view newName,
                                 bool immediate) {
  PendingEdit edit{Operation::RenameSection, {std::string(section), std::string(newName)}};
  return immediate ? runImmediately(edit) : enqueue(edit.operation, std::move(edit.arguments));
}

int SettingsStore::renameKey(std::string_view section, std::string_view key,
                             std::string_view newKey, bool immediate) {
  PendingEdit edit{Operation::RenameKey,
                   {std::string(section), std::string(key), std::string(newKey)}};
  return immediate ? runImmediately(edit) : enqueue(edit.operation, std::move(edit.arguments));
}

// ---- the edits ----

int SettingsStore::applyWrite(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (!canWrite()) {
    return kFailed;
  }
  // The edit is built on a copy: the content and the file change together or not at all.
  std::string next = content_;
  std::size_t from = 0;
  int appends = 0;
  bool keyInserted = false;
  for (;;) {
    const std::size_t header =
        layout::FindSection(next, section, layout::HeaderRule::AtLineStart, from);
    if (header == layout::npos) {
      // A new section goes to the end. The search restarts at the last byte before it.
      from = next.empty() ? 0 : next.size() - 1;
      if (!next.empty()) {
        next.append("\r\n");
      }
      next.append("[").append(section).append("]");
      if (++appends < kMaxSectionAppends) {
        continue;
      }
      break;
    }
    const std::size_t bracket = header + section.size() + 1;
    if (const auto line = layout::FindKey(next, bracket, key)) {
      next.replace(line->valueBegin, line->valueEnd - line->valueBegin, value);
      return commit(std::move(next)) ? kDone : kFailed;
    }
    // A new key becomes the first line of its section; the next pass sets its value.
    if (keyInserted) {
      break;
    }
    next.insert(bracket + 1, Join("\r\n", key, "="));
    keyInserted = true;
  }
  reportFailure();
  return kFailed;
}

int SettingsStore::applyDelete(std::string_view section, std::string_view key) {
  if (!canWrite()) {
    return kFailed;
  }
  const std::size_t header =
      layout::FindSection(content_, section, layout::HeaderRule::AlsoAtSecondByte);
  if (header == layout::npos) {
    return kSectionNotFound;
  }
  const std::size_t end = layout::SectionEnd(content_, header);
  std::string next = content_;
  if (key.empty()) {
    next.erase(header, end - header);
  } else {
    const std::size_t lineBreak = content_.find(Join("\r\n", key, "="), header);
    if (lineBreak == layout::npos) {
      return kKeyNotFound;
    }
    std::size_t lineEnd = content_.find("\r\n", lineBreak + 2);
    if (lineEnd == layout::npos) {
      lineEnd = content_.size();
    }
    if (lineEnd > end) {
      return kKeyNotFound;
    }
    next.erase(lineBreak, lineEnd - lineBreak);
  }
  return commit(std::move(next)) ? kDone : kFailed;
}

int SettingsStore::applyRenameSection(std::string_view section, std::string_view newName) {
  if (!canWrite()) {
    return kFailed;
  }
  const std::size_t header =
      layout::FindSection(content_, section, layout::HeaderRule::AlsoAtSecondByte);
  if (header == layout::npos) {
    return kSectionNotFound;
  }
  std::string next = content_;
  next.replace(header + 1, section.size(), newName);
  return commit(std::move(next)) ? kDone : kFailed;
}

int SettingsStore::applyRenameKey(std::string_view section, std::string_view key,
                                  std::string_view newKey) {
  if (!canWrite()) {
    return kFailed;
  }
  const std::size_t header =
      layout::FindSection(content_, section, layout::HeaderRule::AlsoAtSecondByte);
  if (header == layout::npos) {
    return kSectionNotFound;
  }
  const std::size_t end = layout::SectionEnd(content_, header);
  const std::size_t lineBreak = content_.find(Join("\r\n", key, "="), header);
  if (lineBreak == layout::npos || lineBreak + 2 + key.size() > end) {
    return kKeyNotFound;
  }
  std::string next = content_;
  next.replace(lineBreak + 2, key.size(), newKey);
  return commit(std::move(next)) ? kDone : kFailed;
}

// ---- reading ----

std::string SettingsStore::readEntry(std::string_view section, std::string_view key,
                                     std::string_view fallback, bool fallbackIfEmpty) const {
  const std::size_t header =
      layout::FindSection(content_, section, layout::HeaderRule::AtLineStart);
  if (header == layout::npos) {
    return std::string(fallback);
  }
  const auto line = layout::FindKey(content_, header + section.size() + 1, key);
  if (!line || (fallbackIfEmpty && line->valueBegin == line->valueEnd)) {
    return std::string(fallback);
  }
  return content_.substr(line->valueBegin, line->valueEnd - line->valueBegin);
}

std::ptrdiff_t SettingsStore::findSectionHeader(std::size_t from, std::size_t to) const {
  const std::size_t at = layout::FindSectionHeader(content_, from, to);
  return at == layout::npos ? -1 : static_cast<std::ptrdiff_t>(at);
}

std::vector<std::string> SettingsStore::listSectionsHavingKey(std::string_view key) const {
  const std::string prefix = Join(key, "=");
  std::vector<std::string> sections;
  std::optional<std::string_view> current;
  const auto lines = layout::SplitLines(content_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (layout::IsHeaderLine(lines[i])) {
      current = layout::HeaderName(lines[i]);
    } else if (i > 0 && current && StartsWith(lines[i], prefix)) {
      bool listed = false;
      for (const std::string& name : sections) {
        listed = listed || name == *current;
      }
      if (!listed) {
        sections.emplace_back(*current);
      }
    }
  }
  return sections;
}

std::vector<std::string> SettingsStore::listKeysByValue(std::string_view valuePrefix,
                                                        std::string_view sectionFilter) const {
  std::vector<std::string> keys;
  std::optional<std::string_view> current;
  const auto lines = layout::SplitLines(content_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (layout::IsHeaderLine(line)) {
      current = layout::HeaderName(line);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (i == 0 || equals == std::string_view::npos || equals == 0) {
      continue;
    }
    const std::string_view value = line.substr(equals + 1);
    const bool matches = valuePrefix.empty() ? value.empty() : StartsWith(value, valuePrefix);
    if (matches && (sectionFilter.empty() || (current && *current == sectionFilter))) {
      keys.emplace_back(line.substr(0, equals));
    }
  }
  return keys;
}

std::vector<std::string> SettingsStore::listSections(std::string_view mustContain,
                                                     std::string_view mustNotContain) const {
  std::vector<std::string> sections;
  for (const std::string_view line : layout::SplitLines(content_)) {
    if (layout::IsHeaderLine(line) && PassesFilters(line, mustContain, mustNotContain)) {
      sections.emplace_back(layout::HeaderName(line));
    }
  }
  return sections;
}

std::vector<std::string> SettingsStore::listKeys(std::string_view mustContain,
                                                 std::string_view mustNotContain,
                                                 std::string_view section,
                                                 std::string_view sectionMustContain,
                                                 std::string_view sectionMustNotContain) const {
  std::vector<std::string> keys;
  bool inSection = false;
  for (const std::string_view line : layout::SplitLines(content_)) {
    if (layout::IsHeaderLine(line)) {
      if (section.empty()) {
        continue;
      }
      if (inSection) {
        break;
      }
      const std::string_view name = layout::HeaderName(line);
      inSection = name == section && PassesFilters(name, sectionMustContain, sectionMustNotContain);
      continue;
    }
    if (!section.empty() && !inSection) {
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      continue;
    }
    const std::string_view key = line.substr(0, equals);
    if (PassesFilters(key, mustContain, mustNotContain)) {
      keys.emplace_back(key);
    }
  }
  return keys;
}

// ---- whole content ----

bool SettingsStore::saveAs(const fs::path& path) {
  const fs::path target = Resolved(path.empty() ? openedName_ : path);
  if (target.empty()) {
    return false;
  }
  // Whoever writes a settings file holds its lock, so a file in use by another store (or
  // another running copy) is never overwritten.
  std::optional<FileLock> borrowed;
  if (!(lock_ && target == diskFile_)) {
    borrowed = FileLock::TryAcquire(target);
    if (!borrowed) {
      return false;
    }
  }
  return StoreFileContent(target, content_);
}

bool SettingsStore::setAllText(std::string_view text, bool append) {
  if (!canWrite()) {
    return false;
  }
  return commit(append ? Join(content_, text) : std::string(text));
}

const std::string& SettingsStore::setSection(std::string_view section) {
  section_ = section;
  registryPrefix_ = Join(Utf8ToGbk("Pelorin软件\\"), Utf8ToGbk(settingsPath_.stem().string()),
                         Join("\\", section, "\\"));
  return registryPrefix_;
}

// ---- typed accessors ----

std::optional<std::string> SettingsStore::readStored(std::string_view key) const {
  // A value is text, and text ends at its first zero byte: what follows a NUL in the file never
  // reaches an option (it would cut the articles written from it).
  std::string value = readEntry(section_, key, {}, true);
  value.resize(UntilFirstNul(value).size());
  if (value.empty()) {
    return std::nullopt;
  }
  return value;
}

bool SettingsStore::writeText(std::string_view key, std::string_view text) {
  return writeEntry(section_, key, EncodeStoredText(text)) == kDone;
}

std::string SettingsStore::readText(std::string_view key, std::string_view fallback) const {
  const auto stored = readStored(key);
  return DecodeStoredText(stored ? *stored : EncodeStoredText(fallback));
}

bool SettingsStore::writeNumber(std::string_view key, double value) {
  return writeEntry(section_, key, FormatStoredNumber(value)) == kDone;
}

double SettingsStore::readNumber(std::string_view key, double fallback) const {
  const auto stored = readStored(key);
  return stored ? ParseStoredNumber(*stored) : fallback;
}

bool SettingsStore::writeBool(std::string_view key, bool value) {
  return writeEntry(section_, key, value ? kStoredTrue : kStoredFalse) == kDone;
}

bool SettingsStore::readBool(std::string_view key, bool fallback) const {
  const auto stored = readStored(key);
  return stored ? *stored == kStoredTrue : fallback;
}

bool SettingsStore::readBoolUnlessFalse(std::string_view key, bool fallback) const {
  const auto stored = readStored(key);
  return stored ? *stored != kStoredFalse : fallback;
}

bool SettingsStore::writeDateTime(std::string_view key, std::chrono::sys_seconds value) {
  return writeEntry(section_, key, FormatStoredDateTime(value)) == kDone;
}

std::chrono::sys_seconds SettingsStore::readDateTime(std::string_view key,
                                                     std::chrono::sys_seconds fallback) const {
  const auto stored = readStored(key);
  return stored ? ParseStoredDateTime(*stored).value_or(fallback) : fallback;
}

fs::path SettingsStore::bytesFile(std::string_view key) const {
  const fs::path& settings = settingsPath_.empty() ? openedName_ : settingsPath_;
  return settings.parent_path() / "inibin" /
         (FileNameComponent(section_) + "-" + FileNameComponent(key) + ".ibn");
}

bool SettingsStore::writeBytes(std::string_view key, std::string_view bytes) {
  if (!canWrite()) {
    return false;
  }
  const fs::path file = bytesFile(key);
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  return !error && StoreFileContent(file, bytes);
}

std::string SettingsStore::readBytes(std::string_view key, std::string_view fallback) const {
  std::string bytes;
  if (ReadWholeFile(bytesFile(key), bytes) != FileRead::Read || bytes.empty()) {
    return std::string(fallback);
  }
  return bytes;
}

}  // namespace gw
