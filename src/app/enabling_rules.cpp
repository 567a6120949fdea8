#include "app/enabling_rules.h"

#include <QAbstractButton>
#include <QWidget>

namespace gw::app {

const std::vector<EnablingRule>& EnablingRules() {
  static const std::vector<EnablingRule> rules = {
      {"选择框过滤屏蔽词", {"按钮屏蔽词设置"}},
      {"选择框自定义替换", {"选择框忽视大小写", "选择框正则替换", "编辑框欲替换", "编辑框替换为"}},
      {"选择框最少字数", {"编辑框最少字数"}},
      {"选择框最多字数", {"编辑框最多字数"}},
      {"选择框段落插入", {"编辑框前缀", "编辑框后缀"}},
      {"选择框插入词",
       {"编辑框词", "按钮编辑", "编辑框插入1", "编辑框插入2", "选择框插入到标题",
        "选择框每次不同"}},
      {"选择框忽略数字", {"编辑框数位"}},
      {"选择框忽略指定", {"编辑框忽略字符"}},
      {"选择框删除指定", {"编辑框删除字符"}},
  };
  return rules;
}

void ApplyEnablingRule(QWidget& window, const EnablingRule& rule) {
  const auto* box = window.findChild<QAbstractButton*>(rule.checkBox);
  if (!box) {
    return;
  }
  for (const QString& name : rule.dependents) {
    if (auto* dependent = window.findChild<QWidget*>(name)) {
      dependent->setEnabled(box->isChecked());
    }
  }
}

void ApplyEnablingRules(QWidget& window) {
  for (const EnablingRule& rule : EnablingRules()) {
    ApplyEnablingRule(window, rule);
  }
}

void ConnectEnablingRules(QWidget& window) {
  for (const EnablingRule& rule : EnablingRules()) {
    if (auto* box = window.findChild<QAbstractButton*>(rule.checkBox)) {
      QObject::connect(box, &QAbstractButton::toggled, &window,
                       [&window, rule] { ApplyEnablingRule(window, rule); });
    }
  }
}

}  // namespace gw::app
