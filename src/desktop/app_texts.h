#pragma once

#include <QStringView>

// The program's own words, shared by more than one file. Messages used in one
// place only stand beside the code that shows them.
namespace tavrin::texts {

// Caption of every plain message and of the default error box.
inline constexpr QStringView kApplicationTitle = u"Tavrin录音整理";
inline constexpr QStringView kMainWindowCaption =
    u"Tavrin录音整理速记助手V6.6    一款好用的录音整理辅助软件，可以为你节约不少时间！";
// Caption of the start-up message and of the closing question.
inline constexpr QStringView kNoticeCaption = u"提示";
inline constexpr QStringView kSettingsFileMissing =
    u"文件缺失，请重新解压，请确保主程序文件和time.ini文件存在同一个文件夹下。";
// The two lines are split by LF then CR; the marks around 是 and 否 are ASCII quotes.
inline constexpr QStringView kCloseQuestion =
    u"程序即将关闭，请确认你已经保存了文档！\n\r点\"是\"退出程序，点\"否\"返回保存！";
// Told by the commands that need a recording while none is loaded.
inline constexpr QStringView kNothingLoaded = u"没有加载音视频文件或格式不正确！";
inline constexpr QStringView kUnknownError = u"发生未知错误";
// How many bytes of a transcript could not be read (%1); the window and the command
// line each go on to say what becomes of them.
inline constexpr QStringView kUnreadableBytes = u"文稿中有%1个字节无法识别，已用“\uFFFD”标出。";
inline constexpr QStringView kNoSoundDevice =
    u"无法打开声音设备，录音将静音播放。请检查声卡或音频服务后重新启动本程序。";

} // namespace tavrin::texts
