#pragma once
// The texts of the firmware list, the selection and the download. A text that
// begins with "\r\n" is appended to what the status line shows; any other
// replaces it.
namespace texts {
inline constexpr const char* listRead = "读取固件列表成功";
inline constexpr const char* listFailed = "读取固件列表失败，请检查网络";
inline constexpr const char* listNotText = "固件列表格式错误，无法读取";
inline constexpr const char* listTooLarge = "固件列表过大，已停止读取";
inline constexpr const char* listSignatureMissing = "固件列表签名缺失或无法读取，已停止读取";
inline constexpr const char* listSignatureMalformed = "固件列表签名格式错误，已停止读取";
inline constexpr const char* listSignatureUnknownKey = "固件列表由未知密钥签名，已停止读取";
inline constexpr const char* listSignatureListAltered = "固件列表签名不符：列表已被改动，已停止读取";
inline constexpr const char* listSignatureCommentAltered = "固件列表签名不符：签名注释已被改动，已停止读取";
// The day it expired (YYYY-MM-DD, UTC), and the name it was signed under.
inline constexpr const char* listExpired = "固件列表已过期（%s），请联系固件发布者";
inline constexpr const char* listOtherFile = "固件列表的签名属于另一个文件（%s），已停止读取";
inline constexpr const char* descriptionFailed = "读取固件描述失败，请检查网络";
inline constexpr const char* descriptionTooLarge = "固件描述过大，已停止读取";
inline constexpr const char* descriptionNotText = "固件描述格式错误，无法显示";
inline constexpr const char* entryIncomplete = "所选的固件条目不完整";
inline constexpr const char* entryBadIds = "所选固件条目的设备ID格式错误";
inline constexpr const char* entryBadDescriptionUrl = "所选固件条目的描述地址无效";
inline constexpr const char* entryBadVersion = "所选固件条目的版本号格式错误";
inline constexpr const char* entryBadHash = "所选固件条目的校验值格式错误";
inline constexpr const char* entryBadSize = "所选固件条目的文件大小格式错误";
inline constexpr const char* entryHashMissing = "所选固件条目缺少校验值，签名的列表中不能选择";
inline constexpr const char* downloading = "正在下载固件.....";
inline constexpr const char* downloaded = "\r\n固件下载成功";
inline constexpr const char* imageChecked = "\r\n固件校验通过";
inline constexpr const char* imageCheckFailed = "\r\n固件校验失败：下载的文件与列表不符，未写入接环";
inline constexpr const char* downloadFailed = "下载固件失败，请检查网络";
inline constexpr const char* imageTooLarge = "固件文件过大，已停止下载";
inline constexpr const char* imageEmpty = "固件文件为空，未写入接环";
inline constexpr const char* imageIsNotFirmware = "服务器返回的不是固件文件，未写入接环";
inline constexpr const char* imageBadUrl = "所选固件条目的下载地址无效";
}  // namespace texts
