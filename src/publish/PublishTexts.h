#pragma once
// What the publisher's tool says. The paths, line numbers and URLs are the
// publisher's own.
namespace texts {
inline constexpr const char* publishListNotRead = "无法读取固件列表 %s";
inline constexpr const char* publishListNotText = "固件列表 %s 不是 UTF-8 文本，ringflash 不会读取它，已停止签名";
inline constexpr const char* publishListTooLarge = "固件列表 %s 过大，ringflash 不会读取它，已停止签名";
inline constexpr const char* publishPasswordFileNotRead = "无法读取密码文件 %s";
inline constexpr const char* publishKeyNotRead = "无法读取密钥文件 %s";
inline constexpr const char* publishNotAKey = "%s 不是 minisign 私钥";
inline constexpr const char* publishPasswordNeeded = "密钥 %s 设有密码：请在终端中运行，或用 --password-file 给出密码";
inline constexpr const char* publishWrongPassword = "密钥 %s 的密码错误";
inline constexpr const char* publishNotWritten = "无法写入 %s，已停止签名";
inline constexpr const char* publishImageMissing = "第 %d 行的固件文件不在文档根目录下：%s";
inline constexpr const char* publishHashMissing = "第 %d 行没有校验值，签名的列表中不能选择它，已停止签名";
inline constexpr const char* publishOtherName = "注意：ringflash 只接受名为 %s 的固件列表，签名记下的文件名是 %s";
inline constexpr const char* publishSigned = "已填写 %d 个条目的校验值和大小，并签名：%s";
inline constexpr const char* publishExpires = "签名的列表于 %s 过期";
inline constexpr const char* publishPasswordPrompt = "密钥的密码：";
}  // namespace texts
