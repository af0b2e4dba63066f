#pragma once
// The texts of the window's own dialogs and messages.
namespace texts {
inline constexpr const char* closeTitle = "固件写入中";
inline constexpr const char* closeQuestion = "固件正在写入接环。现在关闭程序会中断写入，接环将无法使用。";
inline constexpr const char* keepWriting = "继续写入";
inline constexpr const char* stopAndClose = "中断写入并关闭";
inline constexpr const char* signalDuringWrite = "固件写入中：现在退出，接环将无法使用。再次发送信号将立即退出。";
}  // namespace texts
