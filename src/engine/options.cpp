#include "engine/options.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <type_traits>

#include "text/charset.h"

namespace gw {
namespace {

using enum StoredAs;

const std::vector<std::string_view> kConversionItems = {"不转换", "转到简体", "转到繁体"};
const std::vector<std::string_view> kTitlePositionItems = {"标题前", "标题后", "随机位置"};
const std::vector<std::string_view> kArticleEncodingItems = {"GBK", "UTF-8", "UTF-8 带签名"};
const std::vector<std::string_view> kEncodingItems = {"自动识别", "GBK", "UTF-8", "Unicode",
                                                      "Unicode be"};

std::vector<OptionSpec> BuildTable() {
  return {
      // Group "全局过滤、转换设置".
      {"组合框繁简转换", &Options::组合框繁简转换, "0", kConversionItems, Number, "繁简转换", 10},
      {"选择框过滤屏蔽词", &Options::选择框过滤屏蔽词, "假", {}, Check, "选择框过滤屏蔽词", 8},
      {"选择框自定义替换", &Options::选择框自定义替换, "假", {}, Check, "选择框自定义替换", 7},
      {"选择框忽视大小写", &Options::选择框忽视大小写, "假", {}, Check, "选择框忽视大小写", 14},
      {"选择框正则替换", &Options::选择框正则替换, "假", {}, Check, "选择框正则替换", 13},
      {"编辑框欲替换", &Options::编辑框欲替换, "一|换", {}, Text, "欲替换", 11},
      {"编辑框替换为", &Options::编辑框替换为, "yi|huang", {}, Text, "替换为", 12},
      {"选择框删除日期", &Options::选择框删除日期, "真", {}, Check, "选择框删除日期", 1},
      {"选择框删除表情", &Options::选择框删除表情, "真", {}, Check, "选择框删除表情", 2},
      // Group "单条聊天消息过滤设置".
      {"选择框最少字数", &Options::选择框最少字数, "真", {}, Check, "选择框最少字数", 17},
      {"编辑框最少字数", &Options::编辑框最少字数, "2", {}, Text, "最少字数a", 16},
      {"选择框最多字数", &Options::选择框最多字数, "真", {}, Check, "选择框最多字数", 18},
      {"编辑框最多字数", &Options::编辑框最多字数, "100", {}, Text, "最多字数a", 15},
      {"选择框忽略网址", &Options::选择框忽略网址, "假", {}, Bool, "忽略网址", 37},
      {"选择框忽略数字", &Options::选择框忽略数字, "假", {}, Bool, "忽略数字", 38},
      {"编辑框数位", &Options::编辑框数位, "7", {}, Text, "数位", 39},
      {"选择框忽略指定", &Options::选择框忽略指定, "假", {}, Bool, "忽略指定", 40},
      {"编辑框忽略字符", &Options::编辑框忽略字符, "包邮|电话|联系", {}, Text, "忽略字符", 41},
      {"选择框删除网址", &Options::选择框删除网址, "真", {}, Check, "选择框删除网址", 3},
      {"选择框删除邮箱", &Options::选择框删除邮箱, "真", {}, Check, "选择框删除邮箱", 4},
      {"选择框删除数字", &Options::选择框删除数字, "假", {}, Check, "选择框删除数字", 5},
      {"选择框删除字母", &Options::选择框删除字母, "假", {}, Check, "选择框删除字母", 6},
      {"选择框删除指定", &Options::选择框删除指定, "假", {}, NotStored, "", 0},
      {"编辑框删除字符", &Options::编辑框删除字符, "字1|字2", {}, NotStored, "", 0},
      // Group "聊天消息之合纵连横设置".
      {"选择框打乱消息顺序",
       &Options::选择框打乱消息顺序,
       "假",
       {},
       Check,
       "选择框打乱消息顺序",
       19},
      {"编辑框连横1", &Options::编辑框连横1, "4", {}, Text, "合并1", 20},
      {"编辑框连横2", &Options::编辑框连横2, "7", {}, Text, "合并2", 21},
      {"编辑框分隔符", &Options::编辑框分隔符, "，。，。！", {}, Text, "分隔符", 22},
      {"编辑框合纵1", &Options::编辑框合纵1, "7", {}, Text, "组合数1", 23},
      {"编辑框合纵2", &Options::编辑框合纵2, "10", {}, Text, "组合数2", 24},
      {"选择框段落插入", &Options::选择框段落插入, "真", {}, Check, "选择框段落插入", 27},
      {"编辑框前缀", &Options::编辑框前缀, "<p>", {}, Text, "前缀", 28},
      {"编辑框后缀", &Options::编辑框后缀, "</p>", {}, Text, "后缀", 29},
      // Group "文章插入词设置".
      {"选择框插入词", &Options::选择框插入词, "假", {}, Check, "选择框插入词", 30},
      {"编辑框词",
       &Options::编辑框词,
       "词1|词2|词3|http://www.example.com/",
       {},
       Text,
       "插入词",
       31},
      {"编辑框插入1", &Options::编辑框插入1, "2", {}, Text, "插入词1", 32},
      {"编辑框插入2", &Options::编辑框插入2, "4", {}, Text, "插入词2", 33},
      {"选择框每次不同", &Options::选择框每次不同, "假", {}, NotStored, "", 0},
      {"选择框插入到标题", &Options::选择框插入到标题, "假", {}, Check, "选择框插入到标题", 9},
      // Group "文章标题和保存目录设置".
      {"编辑框标题最少字数", &Options::编辑框标题最少字数, "10", {}, Text, "标题最少字数", 25},
      {"编辑框标题关键词", &Options::编辑框标题关键词, "", {}, Text, "标题关键词", 34},
      {"组合框标题位置", &Options::组合框标题位置, "2", kTitlePositionItems, Number, "标题位置",
       35},
      {"编辑框保存文件夹", &Options::编辑框保存文件夹, "", {}, Text, "保存文件夹", 36},
      {"编辑框扩展名", &Options::编辑框扩展名, "txt", {}, Text, "扩展名", 26},
      // Group "选择聊天消息文件开始处理".
      {"按钮选择文件", &Options::按钮选择文件标记, "", {}, Text, "选择文件", 43},
      {"组合框编码", &Options::组合框编码, "0", kEncodingItems, Number, "文件编码", 42},
      // Section "扩展配置", each option under its control's name.
      {"选择框删除系统提示",
       &Options::选择框删除系统提示,
       "假",
       {},
       Extended,
       "选择框删除系统提示",
       0},
      {"选择框去除重复消息",
       &Options::选择框去除重复消息,
       "假",
       {},
       Extended,
       "选择框去除重复消息",
       0},
      {"组合框文章编码", &Options::组合框文章编码, "0", kArticleEncodingItems, Extended,
       "组合框文章编码", 0},
  };
}

bool ParseBool(std::string_view text, bool& value) {
  static const std::string kTrue = Utf8ToGbk("真");
  static const std::string kFalse = Utf8ToGbk("假");
  if (text == kTrue || text == "1" || text == "true") {
    value = true;
    return true;
  }
  if (text == kFalse || text == "0" || text == "false") {
    value = false;
    return true;
  }
  return false;
}

bool ParseIndex(std::string_view text, const OptionSpec& row, int& index) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error == std::errc() && end == text.data() + text.size() && parsed >= 0 &&
      (row.items.empty() || parsed < static_cast<int>(row.items.size()))) {
    index = parsed;
    return true;
  }
  for (std::size_t i = 0; i < row.items.size(); ++i) {
    if (Utf8ToGbk(row.items[i]) == text) {
      index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

}  // namespace

const std::vector<OptionSpec>& OptionTable() {
  static const std::vector<OptionSpec> table = BuildTable();
  return table;
}

const OptionSpec* FindOption(std::string_view control) {
  for (const OptionSpec& row : OptionTable()) {
    if (row.control == control) {
      return &row;
    }
  }
  return nullptr;
}

std::vector<const OptionSpec*> StoredOptionsInSaveOrder() {
  std::vector<const OptionSpec*> rows;
  for (const OptionSpec& row : OptionTable()) {
    if (row.settingsRow > 0) {
      rows.push_back(&row);
    }
  }
  std::sort(rows.begin(), rows.end(), [](const OptionSpec* a, const OptionSpec* b) {
    return a->settingsRow < b->settingsRow;
  });
  return rows;
}

std::vector<const OptionSpec*> ExtendedOptions() {
  std::vector<const OptionSpec*> rows;
  for (const OptionSpec& row : OptionTable()) {
    if (row.storedAs == StoredAs::Extended) {
      rows.push_back(&row);
    }
  }
  return rows;
}

Options Options::FormDefaults() {
  Options options;
  for (const OptionSpec& row : OptionTable()) {
    SetOptionFromText(options, row, Utf8ToGbk(row.formDefault));
  }
  return options;
}

std::string OptionValueText(const Options& options, const OptionSpec& row) {
  return std::visit(
      [&](auto member) -> std::string {
        const auto& value = options.*member;
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, bool>) {
          return Utf8ToGbk(value ? "真" : "假");
        } else if constexpr (std::is_same_v<Value, int>) {
          return std::to_string(value);
        } else {
          return value;
        }
      },
      row.field);
}

bool SetOptionFromText(Options& options, const OptionSpec& row, std::string_view gbkValue) {
  return std::visit(
      [&](auto member) -> bool {
        auto& value = options.*member;
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, bool>) {
          return ParseBool(gbkValue, value);
        } else if constexpr (std::is_same_v<Value, int>) {
          return ParseIndex(gbkValue, row, value);
        } else {
          value = std::string(gbkValue);
          return true;
        }
      },
      row.field);
}

int LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace gw
