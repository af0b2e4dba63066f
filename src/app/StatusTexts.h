#pragma once
// Every text the tool shows on its status line. A text that begins with
// "\r\n" is appended to what the line shows; any other replaces it.
namespace texts {
inline constexpr const char* listRead = "读取固件列表成功";
inline constexpr const char* listFailed = "读取固件列表失败，请检查网络";
inline constexpr const char* listNotText = "固件列表格式错误，无法读取";
inline constexpr const char* listTooLarge = "固件列表过大，已停止读取";
inline constexpr const char* descriptionFailed = "读取固件描述失败，请检查网络";
inline constexpr const char* descriptionTooLarge = "固件描述过大，已停止读取";
inline constexpr const char* descriptionNotText = "固件描述格式错误，无法显示";
inline constexpr const char* entryIncomplete = "所选的固件条目不完整";
inline constexpr const char* entryBadIds = "所选固件条目的设备ID格式错误";
inline constexpr const char* entryBadDescriptionUrl = "所选固件条目的描述地址无效";
inline constexpr const char* entryBadVersion = "所选固件条目的版本号格式错误";
inline constexpr const char* entryBadHash = "所选固件条目的校验值格式错误";
inline constexpr const char* entryBadSize = "所选固件条目的文件大小格式错误";
inline constexpr const char* versionOutOfRange = "固件版本号超出范围（0-255），无法写入";
inline constexpr const char* downloading = "正在下载固件.....";
inline constexpr const char* downloaded = "\r\n固件下载成功";
inline constexpr const char* imageChecked = "\r\n固件校验通过";
inline constexpr const char* imageCheckFailed = "\r\n固件校验失败：下载的文件与列表不符，未写入接环";
inline constexpr const char* downloadFailed = "下载固件失败，请检查网络";
inline constexpr const char* imageTooLarge = "固件文件过大，已停止下载";
inline constexpr const char* imageBadUrl = "所选固件条目的下载地址无效";
inline constexpr const char* connectedAppend = "\r\n设备已连接";
inline constexpr const char* connected = "设备已连接";
inline constexpr const char* disconnected = "设备已断开";
inline constexpr const char* noDevice = "没有发现设备";
inline constexpr const char* noDeviceForLens = "没发现设备";
inline constexpr const char* mismatch = "所选的固件和连接的设备不匹配";
inline constexpr const char* lensId = "\r\n镜头ID->0x%0x";
inline constexpr const char* adapterVersion = "\r\n当前的接环版本：VER %d.%d.%d";
inline constexpr const char* writing = "\r\n固件写入中......";
inline constexpr const char* updateDone = "\r\n固件更新已完成";
inline constexpr const char* removeAdapter = "\r\n请关闭程序后取下接环";
inline constexpr const char* writeFailed = "\r\n固件写入失败：设备未收到数据，请重新连接接环后再次更新";
inline constexpr const char* busyForLens = "\r\n固件写入中，请在写入完成后再查询镜头ID";
inline constexpr const char* busyForUpdate = "\r\n固件写入中，请等待写入完成";
}  // namespace texts
