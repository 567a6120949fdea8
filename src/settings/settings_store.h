// SettingsStore: the program's one persistence, an INI-style settings file in GBK that is
// edited byte for byte, so that hand-edited files keep every byte the store did not touch.
//
// The whole file lives in `content`; every search runs there. In file mode each applied edit
// replaces the file on disk atomically with the new content, so the file always holds either
// the content before or after an edit; in a folder that takes no new files an existing writable
// file is rewritten in place instead (not atomic). A store holds an advisory lock on its file
// for its whole life. A store that cannot get the lock (another running copy has the file), or
// whose file is write-protected (IsWriteProtected: no write bit for anyone, or not writable for
// this user), only reads, and every write reports failure.
//
// Edits go through a first-in, first-out queue: an edit issued while another one is being
// applied (from the failure handler, say) waits in the queue and is applied after it, in order.
//
// Sections, keys and values are GBK byte strings compared byte for byte. Positions are 0-based
// byte offsets into the content. Single-threaded: all calls come from one thread.
#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings_file.h"

namespace gw {

class SettingsStore {
 public:
  // Result codes of the edits.
  static constexpr int kFailed = -1;  // nothing changed (or, for runPendingEdits: queue empty)
  static constexpr int kDone = 0;     // applied and on disk
  static constexpr int kSectionNotFound = 1;  // deleteEntry, renameSection, renameKey
  static constexpr int kKeyNotFound = 2;      // deleteEntry, renameKey
  static constexpr int kQueued = 3;           // another edit is being applied; this one follows

  // Where the content is kept. Registry mode is not offered on this platform.
  enum class Mode { File = 0, Memory = 1, Registry = 2 };

  // Whether writes reach the settings file, and if not, why not.
  enum class WriteAccess {
    Granted,
    HeldElsewhere,  // another store or running copy holds the file's lock
    FileReadOnly,   // the file is write-protected
    Unavailable     // not opened, or the file cannot be read or created
  };

  // Called when an edit cannot be applied because the section could not be created or the
  // file could not be replaced, with the content the store holds. The front end tells the
  // user. Edits issued from the handler are queued and applied after the failed one.
  using FailureHandler = std::function<void(std::string_view content)>;

  SettingsStore() = default;
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  ~SettingsStore() { close(); }

  // Writes what a running batch holds, releases the file and its lock and empties the content.
  void close();
  // Loads `path` into the content (a missing or unreadable file leaves it empty). In memory
  // mode edits then change only the content until saveAs. Otherwise the store takes the lock,
  // creates the folder and, when missing, an empty file, and returns true; without the lock, or
  // with a file it cannot read or write, it keeps what it could read, only reads and returns
  // false (writeAccess says why).
  bool open(const std::filesystem::path& path, bool inMemory);
  // Reads the content again from the file that open loaded.
  bool reload();
  // Binds the store: remembers `path` and `mode` and opens the file (mode 2: returns false).
  bool setPath(const std::filesystem::path& path, int mode);
  const std::filesystem::path& currentPath() const { return settingsPath_; }
  // True when writes cannot reach the settings file: the lock is held by someone else, the file
  // is write-protected, or it could not be opened.
  bool isReadOnly() const { return !canWrite(); }
  WriteAccess writeAccess() const { return writeAccess_; }

  void setFailureHandler(FailureHandler handler) { failureHandler_ = std::move(handler); }

  // Batches: between beginBatch and the matching endBatch (they nest), applied edits change
  // the content at once but the file is replaced only once, at the end, with all of them: a
  // save of many options then costs one flush to disk instead of one per option, and the file
  // holds either none or all of the batch's edits. Writes inside a batch report success when
  // applied to the content; endBatch reports whether the file took them. When it did not, the
  // content returns to the state before the batch (what the file still holds) and the failure
  // handler is called.
  void beginBatch();
  bool endBatch();
  // A batch for the life of a scope. It must not outlive its store.
  class Batch {
   public:
    explicit Batch(SettingsStore& store) : store_(&store) { store_->beginBatch(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    ~Batch() { finish(); }
    // Ends the batch now; the result of endBatch (true when it had already ended).
    bool finish() {
      if (!store_) {
        return true;
      }
      return std::exchange(store_, nullptr)->endBatch();
    }

   private:
    SettingsStore* store_;
  };

  // Applies the queued edits, first to last. Result of the first one; kFailed when the queue
  // is empty, kQueued when a drain is already running.
  int runPendingEdits();

  // Sets the value of `key` in `section`, creating the section (at the end) and the key (as the
  // first line of its section) when missing. Immediate: kDone or kFailed; queued: the result of
  // the drain, or kQueued.
  int writeEntry(std::string_view section, std::string_view key, std::string_view value,
                 bool immediate = false);
  // The value of `key` in `section`, or `fallback` when either is absent (or when the value is
  // empty and `fallbackIfEmpty` is set).
  std::string readEntry(std::string_view section, std::string_view key, std::string_view fallback,
                        bool fallbackIfEmpty) const;
  // Removes one key line (with the CR LF before it) or, with an empty key, the whole section.
  int deleteEntry(std::string_view section, std::string_view key, bool immediate = false);
  int renameSection(std::string_view section, std::string_view newName, bool immediate = false);
  int renameKey(std::string_view section, std::string_view key, std::string_view newKey,
                bool immediate = false);

  // Position of the "[" of the first section header after `from` that ends no later than `to`;
  // -1 when there is none.
  std::ptrdiff_t findSectionHeader(std::size_t from, std::size_t to) const;
  // The sections (in file order, each once) holding a line of `key`.
  std::vector<std::string> listSectionsHavingKey(std::string_view key) const;
  // Keys whose value starts with `valuePrefix` (an empty prefix: keys with an empty value),
  // limited to the section named `sectionFilter` when it is not empty.
  std::vector<std::string> listKeysByValue(std::string_view valuePrefix,
                                           std::string_view sectionFilter) const;
  // Names of the header lines, filtered by what the line must and must not contain.
  std::vector<std::string> listSections(std::string_view mustContain,
                                        std::string_view mustNotContain) const;
  // Keys of all lines, or with `section` given, of the lines of the first header of that name
  // that passes the section filters.
  std::vector<std::string> listKeys(std::string_view mustContain, std::string_view mustNotContain,
                                    std::string_view section, std::string_view sectionMustContain,
                                    std::string_view sectionMustNotContain) const;

  // Writes the whole content to `path` (empty: the file open loaded), replacing it atomically
  // (or in place, in a folder that takes no new files). Refused when another store holds that
  // file's lock or the file is write-protected.
  bool saveAs(const std::filesystem::path& path = {});
  const std::string& allText() const { return content_; }
  // Replaces the content (or, with `append`, adds to it) and the file in one edit.
  bool setAllText(std::string_view text, bool append);

  // Selects the section of the typed accessors; returns the registry key prefix built from it.
  const std::string& setSection(std::string_view section);
  const std::string& section() const { return section_; }

  // Typed accessors on the current section. Writes are queued; they return true when the value
  // is on disk when they return. A read value ends at its first zero byte; reads of an absent or
  // empty value give the fallback.
  bool writeText(std::string_view key, std::string_view text);
  std::string readText(std::string_view key, std::string_view fallback) const;
  bool writeNumber(std::string_view key, double value);
  double readNumber(std::string_view key, double fallback) const;
  bool writeBool(std::string_view key, bool value);
  // True only when the stored text is "真".
  bool readBool(std::string_view key, bool fallback) const;
  // True unless the stored text is "假".
  bool readBoolUnlessFalse(std::string_view key, bool fallback) const;
  bool writeDateTime(std::string_view key, std::chrono::sys_seconds value);
  std::chrono::sys_seconds readDateTime(std::string_view key,
                                        std::chrono::sys_seconds fallback) const;
  // Byte values live in files of their own: inibin/<section>-<key>.ibn beside the settings file.
  bool writeBytes(std::string_view key, std::string_view bytes);
  std::string readBytes(std::string_view key, std::string_view fallback) const;

 private:
  enum class Operation { Write = 0, Delete = 1, RenameSection = 2, RenameKey = 3 };
  struct PendingEdit {
    Operation operation;
    std::vector<std::string> arguments;
  };

  int enqueue(Operation operation, std::vector<std::string> arguments);
  // Applies one edit now; edits it causes to be queued follow it.
  int runImmediately(const PendingEdit& edit);
  int apply(const PendingEdit& edit);
  int applyWrite(std::string_view section, std::string_view key, std::string_view value);
  int applyDelete(std::string_view section, std::string_view key);
  int applyRenameSection(std::string_view section, std::string_view newName);
  int applyRenameKey(std::string_view section, std::string_view key, std::string_view newKey);
  // Makes `next` the content, replacing the file first in file mode outside a batch.
  bool commit(std::string next);
  bool canWrite() const;
  void reportFailure() const;
  // The stored value of `key` in the current section up to its first zero byte; nothing when
  // absent or empty.
  std::optional<std::string> readStored(std::string_view key) const;
  std::filesystem::path bytesFile(std::string_view key) const;

  std::string content_;
  std::filesystem::path openedName_;
  // The file that is replaced on every edit: openedName_ with symbolic links resolved, so
  // that a linked settings file stays linked.
  std::filesystem::path diskFile_;
  bool opened_ = false;
  // Opened as an in-memory copy: edits change only the content until saveAs.
  bool memoryFile_ = false;
  WriteAccess writeAccess_ = WriteAccess::Unavailable;
  std::optional<FileLock> lock_;
  bool busy_ = false;
  std::deque<PendingEdit> pending_;
  std::filesystem::path settingsPath_;
  std::string section_;
  Mode mode_ = Mode::File;
  std::string registryPrefix_;
  FailureHandler failureHandler_;
  int batchDepth_ = 0;
  bool batchChanged_ = false;
  std::string contentBeforeBatch_;
};

}  // namespace gw
