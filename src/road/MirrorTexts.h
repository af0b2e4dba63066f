#pragma once
// What is said of an offline mirror. The folder is the user's own.
namespace texts {
inline constexpr const char* mirrorWritten = "离线镜像已写入 %s：%d 个条目，%d 个文件";
inline constexpr const char* mirrorEntryRefused = "条目 %d 未通过检查，离线镜像未写入";
inline constexpr const char* mirrorUrlUnfit =
    "条目 %d 的地址在离线镜像中没有自己的位置（与另一个地址重合或路径不可用）：%s";
inline constexpr const char* mirrorNotAMirror = "%s 已存在，但不是离线镜像，未作改动";
inline constexpr const char* mirrorNotWritten = "无法写入离线镜像 %s";
inline constexpr const char* mirrorNone = "%s 不是离线镜像（可用 ringflash-cli mirror 制作）";
}  // namespace texts
