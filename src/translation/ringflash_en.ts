<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>StatusText</name>
    <message>
        <source>读取固件列表成功</source>
        <translation>Firmware list read</translation>
    </message>
    <message>
        <source>读取固件列表失败，请检查网络</source>
        <translation>Could not read the firmware list, please check the network</translation>
    </message>
    <message>
        <source>固件列表格式错误，无法读取</source>
        <translation>The firmware list is malformed and cannot be read</translation>
    </message>
    <message>
        <source>固件列表过大，已停止读取</source>
        <translation>The firmware list is too large; reading stopped</translation>
    </message>
    <message>
        <source>读取固件描述失败，请检查网络</source>
        <translation>Could not read the firmware description, please check the network</translation>
    </message>
    <message>
        <source>固件描述过大，已停止读取</source>
        <translation>The firmware description is too large; reading stopped</translation>
    </message>
    <message>
        <source>固件描述格式错误，无法显示</source>
        <translation>The firmware description is malformed and cannot be shown</translation>
    </message>
    <message>
        <source>所选的固件条目不完整</source>
        <translation>The selected firmware entry is incomplete</translation>
    </message>
    <message>
        <source>所选固件条目的设备ID格式错误</source>
        <translation>The device ids of the selected firmware entry are malformed</translation>
    </message>
    <message>
        <source>所选固件条目的描述地址无效</source>
        <translation>The description address of the selected firmware entry is not valid</translation>
    </message>
    <message>
        <source>所选固件条目的版本号格式错误</source>
        <translation>The version of the selected firmware entry is malformed</translation>
    </message>
    <message>
        <source>所选固件条目的校验值格式错误</source>
        <translation>The checksum of the selected firmware entry is malformed</translation>
    </message>
    <message>
        <source>所选固件条目的文件大小格式错误</source>
        <translation>The file size of the selected firmware entry is malformed</translation>
    </message>
    <message>
        <source>正在下载固件.....</source>
        <translation>Downloading the firmware.....</translation>
    </message>
    <message>
        <source>固件下载成功</source>
        <translation>Firmware downloaded</translation>
    </message>
    <message>
        <source>固件校验通过</source>
        <translation>Firmware checked: it matches the list</translation>
    </message>
    <message>
        <source>固件校验失败：下载的文件与列表不符，未写入接环</source>
        <translation>Firmware check failed: the downloaded file does not match the list; nothing was written to the adapter</translation>
    </message>
    <message>
        <source>下载固件失败，请检查网络</source>
        <translation>Could not download the firmware, please check the network</translation>
    </message>
    <message>
        <source>固件文件过大，已停止下载</source>
        <translation>The firmware file is too large; download stopped</translation>
    </message>
    <message>
        <source>固件文件为空，未写入接环</source>
        <translation>The firmware file is empty; nothing was written to the adapter</translation>
    </message>
    <message>
        <source>服务器返回的不是固件文件，未写入接环</source>
        <translation>The server did not return a firmware file; nothing was written to the adapter</translation>
    </message>
    <message>
        <source>所选固件条目的下载地址无效</source>
        <translation>The download address of the selected firmware entry is not valid</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>Adapter connected</translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation>Adapter disconnected</translation>
    </message>
    <message>
        <source>没有发现设备</source>
        <translation>No adapter found</translation>
    </message>
    <message>
        <source>没发现设备</source>
        <translation>No adapter found</translation>
    </message>
    <message>
        <source>所选的固件和连接的设备不匹配</source>
        <translation>The selected firmware does not fit the connected adapter</translation>
    </message>
    <message>
        <source>镜头ID-&gt;0x%0x</source>
        <translation>Lens ID-&gt;0X%1</translation>
    </message>
    <message>
        <source>当前的接环版本：VER %d.%d.%d</source>
        <translation>Current adapter version: VER %1.%2.%3</translation>
    </message>
    <message>
        <source>固件写入中......</source>
        <translation>Writing the firmware......</translation>
    </message>
    <message>
        <source>固件更新已完成</source>
        <translation>Firmware update complete</translation>
    </message>
    <message>
        <source>请关闭程序后取下接环</source>
        <translation>Please close the program before removing the adapter</translation>
    </message>
    <message>
        <source>固件写入失败：设备未收到数据，请重新连接接环后再次更新</source>
        <translation>Firmware write failed: the adapter did not take the data; reconnect the adapter and update again</translation>
    </message>
    <message>
        <source>固件写入中，请在写入完成后再查询镜头ID</source>
        <translation>Writing the firmware; ask for the lens ID once writing is complete</translation>
    </message>
    <message>
        <source>固件写入中，请等待写入完成</source>
        <translation>Writing the firmware; please wait until writing is complete</translation>
    </message>
    <message>
        <source>发现接环 %s，但没有权限打开：请安装 udev 规则后重新插入接环</source>
        <translation>Found adapter %1, but may not open it: install the udev rule, then plug the adapter in again</translation>
    </message>
    <message>
        <source>固件版本号超出范围（0-255），无法写入</source>
        <translation>The firmware version is out of range (0-255) and cannot be written</translation>
    </message>
    <message>
        <source>固件写入中</source>
        <translation>Writing the firmware</translation>
    </message>
    <message>
        <source>固件正在写入接环。现在关闭程序会中断写入，接环将无法使用。</source>
        <translation>The firmware is being written into the adapter. Closing the program now interrupts the write, and the adapter will not work.</translation>
    </message>
    <message>
        <source>继续写入</source>
        <translation>Keep writing</translation>
    </message>
    <message>
        <source>中断写入并关闭</source>
        <translation>Interrupt the write and close</translation>
    </message>
    <message>
        <source>固件写入中：现在退出，接环将无法使用。再次发送信号将立即退出。</source>
        <translation>Writing the firmware: quitting now leaves the adapter unusable. Send the signal again to quit at once.</translation>
    </message>
    <message>
        <source>发现接环 %s：它在本次更新开始后才连接，不会写入</source>
        <translation>Found an adapter at %1: it was connected after this update began and will not be written</translation>
    </message>
    <message>
        <source>固件写入已中断，接环可能无法使用，请重新连接接环后再次更新</source>
        <translation>Writing the firmware was interrupted; the adapter may be unusable. Reconnect it and update again</translation>
    </message>
    <message>
        <source>固件列表签名缺失或无法读取，已停止读取</source>
        <translation>The firmware list&apos;s signature is missing or cannot be read; reading stopped</translation>
    </message>
    <message>
        <source>固件列表签名格式错误，已停止读取</source>
        <translation>The firmware list&apos;s signature is malformed; reading stopped</translation>
    </message>
    <message>
        <source>固件列表由未知密钥签名，已停止读取</source>
        <translation>The firmware list is signed by an unknown key; reading stopped</translation>
    </message>
    <message>
        <source>固件列表签名不符：列表已被改动，已停止读取</source>
        <translation>The firmware list&apos;s signature does not match: the list was altered; reading stopped</translation>
    </message>
    <message>
        <source>固件列表签名不符：签名注释已被改动，已停止读取</source>
        <translation>The firmware list&apos;s signature does not match: the signature&apos;s comment was altered; reading stopped</translation>
    </message>
    <message>
        <source>所选固件条目缺少校验值，签名的列表中不能选择</source>
        <translation>The selected firmware entry has no checksum; in a signed list it cannot be selected</translation>
    </message>
    <message>
        <source>接环没有应答，请重新连接接环后再次更新</source>
        <translation>The adapter does not answer; reconnect the adapter and update again</translation>
    </message>
    <message>
        <source>接环没有应答，请重新连接接环后再查询镜头ID</source>
        <translation>The adapter does not answer; reconnect the adapter and ask for the lens ID again</translation>
    </message>
    <message>
        <source>固件写入失败：接环没有应答，请重新连接接环后再次更新</source>
        <translation>Firmware write failed: the adapter does not answer; reconnect the adapter and update again</translation>
    </message>
    <message>
        <source>发现多个相同型号的接环（%s），请只连接要更新的一个</source>
        <translation>Found several adapters of the same model (%1); connect only the one to update</translation>
    </message>
    <message>
        <source>发现多个相同型号的接环（%s），请只连接要查询的一个</source>
        <translation>Found several adapters of the same model (%1); connect only the one to ask</translation>
    </message>
    <message>
        <source>固件写入中，请在写入完成后再选择固件</source>
        <translation>Writing the firmware; select firmware once writing is complete</translation>
    </message>
    <message>
        <source>接环正在被另一个程序写入，请等待其完成</source>
        <translation>Another program is writing to the adapter; wait until it has finished</translation>
    </message>
    <message>
        <source>固件写入未完成：接环已断开，请重新连接接环后再次更新</source>
        <translation>Firmware write not finished: the adapter was disconnected; reconnect the adapter and update again</translation>
    </message>
    <message>
        <source>更新已停止，接环未被写入</source>
        <translation>Update stopped; nothing was written to the adapter</translation>
    </message>
    <message>
        <source>固件列表已过期（%s），请联系固件发布者</source>
        <translation>The firmware list has expired (%1); contact the firmware publisher</translation>
    </message>
    <message>
        <source>固件列表的签名属于另一个文件（%s），已停止读取</source>
        <translation>The firmware list signature is for another file (%1); reading stopped</translation>
    </message>
    <message>
        <source>接环已是版本 VER %d.%d.%d，无需更新，未写入接环</source>
        <translation>The adapter already runs version %1.%2.%3; nothing to update, nothing was written</translation>
    </message>
    <message>
        <source>接环的版本 VER %d.%d.%d 比所选固件的 VER %d.%d.%d 新，未写入接环</source>
        <translation>The adapter runs version %1.%2.%3, newer than the chosen firmware %4.%5.%6; nothing was written</translation>
    </message>
    <message>
        <source>接环已重新连接：版本 VER %d.%d.%d，更新已确认</source>
        <translation>Adapter plugged in again: version %1.%2.%3, update confirmed</translation>
    </message>
    <message>
        <source>接环重新连接后仍报告版本 VER %d.%d.%d，不是写入的 VER %d.%d.%d：更新没有生效，请再次更新</source>
        <translation>Adapter plugged in again still reports version %1.%2.%3, not the written %4.%5.%6: the update did not take, please update again</translation>
    </message>
    <message>
        <source>请取下接环后重新插入，以确认更新（%d 秒内）</source>
        <translation>Take the adapter out and plug it in again to confirm the update (within %1 s)</translation>
    </message>
    <message>
        <source>接环没有在 %d 秒内重新连接：固件已写入，但更新未确认</source>
        <translation>The adapter was not plugged in again within %1 s: the firmware was written, but the update is not confirmed</translation>
    </message>
    <message>
        <source>无法读取固件列表 %s</source>
        <translation>Cannot read the firmware list %1</translation>
    </message>
    <message>
        <source>无法读取密钥文件 %s</source>
        <translation>Cannot read the key file %1</translation>
    </message>
    <message>
        <source>%s 不是 minisign 私钥</source>
        <translation>%1 is not a minisign secret key</translation>
    </message>
    <message>
        <source>密钥 %s 设有密码：请在终端中运行，或用 --password-file 给出密码</source>
        <translation>The key %1 has a password: run this on a terminal, or give it with --password-file</translation>
    </message>
    <message>
        <source>密钥 %s 的密码错误</source>
        <translation>Wrong password for the key %1</translation>
    </message>
    <message>
        <source>无法写入 %s，已停止签名</source>
        <translation>Cannot write %1; signing stopped</translation>
    </message>
    <message>
        <source>第 %d 行的固件文件不在文档根目录下：%s</source>
        <translation>Line %1: its firmware file is not under the document root: %2</translation>
    </message>
    <message>
        <source>第 %d 行没有校验值，签名的列表中不能选择它，已停止签名</source>
        <translation>Line %1 has no hash and could not be chosen in a signed list; signing stopped</translation>
    </message>
    <message>
        <source>注意：ringflash 只接受名为 %s 的固件列表，签名记下的文件名是 %s</source>
        <translation>Note: ringflash accepts a firmware list only under the name %1; the signature records the name %2</translation>
    </message>
    <message>
        <source>已填写 %d 个条目的校验值和大小，并签名：%s</source>
        <translation>Hash and size filled in for %1 entries, and signed: %2</translation>
    </message>
    <message>
        <source>签名的列表于 %s 过期</source>
        <translation>The signed list expires on %1</translation>
    </message>
    <message>
        <source>密钥的密码：</source>
        <translation>Password for the key: </translation>
    </message>
    <message>
        <source>离线镜像已写入 %s：%d 个条目，%d 个文件</source>
        <translation>Offline mirror written to %1: %2 entries, %3 files</translation>
    </message>
    <message>
        <source>条目 %d 未通过检查，离线镜像未写入</source>
        <translation>Entry %1 did not pass its checks; the offline mirror was not written</translation>
    </message>
    <message>
        <source>%s 已存在，但不是离线镜像，未作改动</source>
        <translation>%1 exists and is not an offline mirror; it was left as it is</translation>
    </message>
    <message>
        <source>无法写入离线镜像 %s</source>
        <translation>Cannot write the offline mirror %1</translation>
    </message>
    <message>
        <source>%s 不是离线镜像（可用 ringflash-cli mirror 制作）</source>
        <translation>%1 is not an offline mirror (ringflash-cli mirror makes one)</translation>
    </message>
    <message>
        <source>固件列表 %s 不是 UTF-8 文本，ringflash 不会读取它，已停止签名</source>
        <translation>The firmware list %1 is not UTF-8 text, which ringflash would not read; signing stopped</translation>
    </message>
    <message>
        <source>固件列表 %s 过大，ringflash 不会读取它，已停止签名</source>
        <translation>The firmware list %1 is larger than ringflash reads; signing stopped</translation>
    </message>
    <message>
        <source>无法读取密码文件 %s</source>
        <translation>Cannot read the password file %1</translation>
    </message>
    <message>
        <source>条目 %d 的地址在离线镜像中没有自己的位置（与另一个地址重合或路径不可用）：%s</source>
        <translation>Entry %1's address has no place of its own in the offline mirror (it falls on another address's place, or its path cannot be used): %2</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>向接环查询所装镜头的ID</source>
        <translation>Ask the adapter for the ID of the mounted lens</translation>
    </message>
    <message>
        <source>查询镜头ID</source>
        <translation>Ask lens ID</translation>
    </message>
    <message>
        <source>向接环查询所装镜头的ID，结果显示在状态栏</source>
        <translation>Asks the adapter for the ID of the mounted lens; the answer appears on the status line</translation>
    </message>
    <message>
        <source>更新固件</source>
        <translation>Update firmware</translation>
    </message>
    <message>
        <source>下载所选固件并写入接环</source>
        <translation>Download the selected firmware and write it into the adapter</translation>
    </message>
    <message>
        <source>下载所选固件并写入接环；先在固件列表中选择一项</source>
        <translation>Downloads the selected firmware and writes it into the adapter; select an entry in the firmware list first</translation>
    </message>
    <message>
        <source>写入进度</source>
        <translation>Write progress</translation>
    </message>
    <message>
        <source>固件写入接环的进度</source>
        <translation>How far the firmware has been written into the adapter</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>读取、下载、写入和查询的结果</source>
        <translation>What reading, downloading, writing and asking gave</translation>
    </message>
    <message>
        <source>固件列表</source>
        <translation>Firmware list</translation>
    </message>
    <message>
        <source>选择要写入接环的固件：方向键移动，回车或空格选中</source>
        <translation>Choose the firmware to write into the adapter: arrow keys move, Enter or Space selects</translation>
    </message>
</context>
</TS>
