#pragma once
// The texts of the exchange with the adapter. A text that begins with "\r\n"
// is appended to what the status line shows; any other replaces it.
namespace texts {
inline constexpr const char* connectedAppend = "\r\n设备已连接";
inline constexpr const char* connected = "设备已连接";
inline constexpr const char* disconnected = "设备已断开";
// After `disconnected`, when the adapter left in the middle of its write.
inline constexpr const char* leftMidWrite = "\r\n固件写入未完成：接环已断开，请重新连接接环后再次更新";
inline constexpr const char* noDevice = "没有发现设备";
inline constexpr const char* noDeviceForLens = "没发现设备";
inline constexpr const char* mismatch = "所选的固件和连接的设备不匹配";
inline constexpr const char* lensId = "\r\n镜头ID->0x%0x";
inline constexpr const char* adapterVersion = "\r\n当前的接环版本：VER %d.%d.%d";
// The adapter's version, and then the entry's: nothing is written.
inline constexpr const char* alreadyRunning = "\r\n接环已是版本 VER %d.%d.%d，无需更新，未写入接环";
inline constexpr const char* newerOnAdapter = "\r\n接环的版本 VER %d.%d.%d 比所选固件的 VER %d.%d.%d 新，未写入接环";
inline constexpr const char* writing = "\r\n固件写入中......";
inline constexpr const char* updateDone = "\r\n固件更新已完成";
inline constexpr const char* removeAdapter = "\r\n请关闭程序后取下接环";
// A written adapter plugged in again: the version it runs, and then the one written.
inline constexpr const char* updateConfirmed = "\r\n接环已重新连接：版本 VER %d.%d.%d，更新已确认";
inline constexpr const char* updateNotTaken =
    "\r\n接环重新连接后仍报告版本 VER %d.%d.%d，不是写入的 VER %d.%d.%d：更新没有生效，请再次更新";
inline constexpr const char* writeFailed = "\r\n固件写入失败：设备未收到数据，请重新连接接环后再次更新";
inline constexpr const char* busyForLens = "\r\n固件写入中，请在写入完成后再查询镜头ID";
inline constexpr const char* busyForUpdate = "\r\n固件写入中，请等待写入完成";
inline constexpr const char* accessDenied = "\r\n发现接环 %s，但没有权限打开：请安装 udev 规则后重新插入接环";
inline constexpr const char* queryUnanswered = "\r\n接环没有应答，请重新连接接环后再次更新";
inline constexpr const char* lensUnanswered = "\r\n接环没有应答，请重新连接接环后再查询镜头ID";
// Another program (or another exchange of this one) holds the adapter.
inline constexpr const char* adapterBusy = "\r\n接环正在被另一个程序写入，请等待其完成";
inline constexpr const char* pieceUnanswered = "\r\n固件写入失败：接环没有应答，请重新连接接环后再次更新";
// The nodes of the adapters, joined by "，".
inline constexpr const char* severalAdapters = "\r\n发现多个相同型号的接环（%s），请只连接要更新的一个";
inline constexpr const char* severalAdaptersForLens = "\r\n发现多个相同型号的接环（%s），请只连接要查询的一个";
inline constexpr const char* busyForSelection = "\r\n固件写入中，请在写入完成后再选择固件";
inline constexpr const char* versionOutOfRange = "固件版本号超出范围（0-255），无法写入";
// The command line waits this many seconds for written adapters to come back.
inline constexpr const char* reseatToConfirm = "\r\n请取下接环后重新插入，以确认更新（%d 秒内）";
inline constexpr const char* notBackInTime = "\r\n接环没有在 %d 秒内重新连接：固件已写入，但更新未确认";
// An adapter that arrives while several are being written is left alone.
inline constexpr const char* lateAdapter = "\r\n发现接环 %s：它在本次更新开始后才连接，不会写入";
// A stop signal while an image is being written, and a second one (the
// window and the command line alike).
inline constexpr const char* signalDuringWrite = "固件写入中：现在退出，接环将无法使用。再次发送信号将立即退出。";
inline constexpr const char* stoppedWhileWriting = "\r\n固件写入已中断，接环可能无法使用，请重新连接接环后再次更新";
// The same stop, for an update whose write had not begun.
inline constexpr const char* stoppedBeforeWriting = "\r\n更新已停止，接环未被写入";
}  // namespace texts
