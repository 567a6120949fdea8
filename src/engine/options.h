// Every main-window option the engine reads, as one plain value, named after its control.
// Texts are GBK. Check boxes are bools, edit boxes texts, drop-down lists 0-based indices.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace gw {

struct Options {
  // Global filters and conversion.
  int 组合框繁简转换 = 0;
  bool 选择框过滤屏蔽词 = false;
  bool 选择框自定义替换 = false;
  bool 选择框忽视大小写 = false;
  bool 选择框正则替换 = false;
  std::string 编辑框欲替换;
  std::string 编辑框替换为;
  bool 选择框删除日期 = true;  // stored only: sender lines are always dropped
  bool 选择框删除表情 = true;  // stored only: the markers are always deleted

  // Single-message filters.
  bool 选择框最少字数 = true;
  std::string 编辑框最少字数;
  bool 选择框最多字数 = true;
  std::string 编辑框最多字数;
  bool 选择框忽略网址 = false;
  bool 选择框忽略数字 = false;
  std::string 编辑框数位;
  bool 选择框忽略指定 = false;
  std::string 编辑框忽略字符;
  bool 选择框删除网址 = true;
  bool 选择框删除邮箱 = true;
  bool 选择框删除数字 = false;
  bool 选择框删除字母 = false;
  bool 选择框删除指定 = false;
  std::string 编辑框删除字符;

  // Paragraphs and articles.
  bool 选择框打乱消息顺序 = false;
  std::string 编辑框连横1;
  std::string 编辑框连横2;
  std::string 编辑框分隔符;
  std::string 编辑框合纵1;
  std::string 编辑框合纵2;
  bool 选择框段落插入 = true;
  std::string 编辑框前缀;
  std::string 编辑框后缀;

  // Inserted words.
  bool 选择框插入词 = false;
  std::string 编辑框词;
  std::string 编辑框插入1;
  std::string 编辑框插入2;
  bool 选择框每次不同 = false;
  bool 选择框插入到标题 = false;

  // Titles and output.
  std::string 编辑框标题最少字数;
  std::string 编辑框标题关键词;
  int 组合框标题位置 = 2;
  std::string 编辑框保存文件夹;
  std::string 编辑框扩展名;

  // Reading the exports; the first file of the last run (the tag of the file button).
  int 组合框编码 = 0;
  std::string 按钮选择文件标记;

  // Section "扩展配置": options beyond the first design, all off (or GBK) by default.
  bool 选择框删除系统提示 = false;  // drop system notices, remove placeholders and @mentions
  bool 选择框去除重复消息 = false;  // take a cleaned text only once per source
  int 组合框文章编码 = 0;           // articles in GBK, UTF-8, or UTF-8 with a signature

  // The form's values. Building them converts the table's texts to GBK.
  static Options FormDefaults();
};

// How the settings file stores an option in section "基本配置".
enum class StoredAs {
  NotStored,
  Check,   // key = the control's name, "真"/"假"
  Bool,    // "真"/"假" under another key
  Text,    // text, CR LF stored as "┊*┊"
  Number,  // a drop-down list's index as a number
  // In section "扩展配置" under the control's name: check boxes "真"/"假", lists their index.
  Extended,
};

using OptionField = std::variant<bool Options::*, std::string Options::*, int Options::*>;

// One row of the option table. All texts are UTF-8 (converted to GBK where they meet program text).
struct OptionSpec {
  std::string_view control;             // the control's name
  OptionField field;                    // where the value lives in Options
  std::string_view formDefault;         // "真"/"假", a text, or an index in decimal
  std::vector<std::string_view> items;  // a drop-down list's items, in order
  StoredAs storedAs = StoredAs::NotStored;
  std::string_view settingsKey;  // key in "基本配置"; empty when not stored
  int settingsRow = 0;           // 1-based place in the save order; 0 when not stored
};

// Every option of the main window that the engine or the settings file knows, in form order.
const std::vector<OptionSpec>& OptionTable();

// The row of a control, or nullptr for an unknown name (UTF-8).
const OptionSpec* FindOption(std::string_view control);

// The rows stored in "基本配置", in save order (rows 1 to 43).
std::vector<const OptionSpec*> StoredOptionsInSaveOrder();

// The rows stored in "扩展配置", in form order.
std::vector<const OptionSpec*> ExtendedOptions();

// The items of "组合框文章编码", by index.
enum class ArticleEncoding { Gbk = 0, Utf8 = 1, Utf8WithSignature = 2 };

// An option's value as GBK text: "真"/"假" for check boxes, decimal index for lists.
std::string OptionValueText(const Options& options, const OptionSpec& row);

// Sets an option from GBK text. Check boxes take "真"/"假", "1"/"0", "true"/"false"; lists take
// the index or the item's text; edit boxes any text. Returns false when the text does not fit.
bool SetOptionFromText(Options& options, const OptionSpec& row, std::string_view gbkValue);

// The integer value of an edit box as the engine reads it: the leading decimal number of the
// text (an optional sign, then digits), 0 when there is none.
int LeadingInteger(std::string_view text);

}  // namespace gw
