// Texts the main window shows that are not captions: the example chat export of the source
// box, the help text, and the messages of its settings commands.
#pragma once

#include <QString>
#include <string_view>

namespace gw::app {

// The example export (a resource in GBK), as the source-message box shows it.
QString SampleExportText();

// The help of "图片疑点说明": title, prompt line and text.
QString HelpTitle();
QString HelpPrompt();
QString HelpText();

// What the store's failure handler shows: a warning, then the whole content in a plain box.
inline constexpr char16_t kStoreFailureTitle[] = u"Pelorin：";
inline constexpr char16_t kStoreFailureWarning[] =
    u"配置模块出现意外，可能导致无法正常保存！详情请咨询Pelorin。";

}  // namespace gw::app
