// What the configurator does, written out once: the blocks of a whole run as
// the scripted machine's transcript shows them, and the texts of its message
// boxes. The step tests, the whole runs, the fault runs and the end-to-end
// checks all compare against these. Each block is literal text; only the
// machine's interpreter prefix (cmd: "C:\...\cmd.exe /c "), scratch folder
// (temp, with its trailing backslash), Startup folder and what its survey
// found are put in. Nothing here is composed with the configurator's own
// helpers, so that an error in them cannot hide in what a test expects.
#ifndef KVXCFG_TESTS_SUPPORT_EXPECTED_BLOCKS_H
#define KVXCFG_TESTS_SUPPORT_EXPECTED_BLOCKS_H

#include <initializer_list>
#include <string>
#include <vector>

namespace kvx::testing {

class ScriptedHost;
using Lines = std::vector<std::string>;

// The blocks one after the other.
Lines Join(std::initializer_list<Lines> blocks);

// The companion tools renamed for use, the imaging tool's status kept.
Lines CompanionTools(const std::string& cmd);
// The scans of disks 1 to 4, their merge, the family marker.
Lines DiskSurvey(const std::string& cmd);
// System drive C:; the active partition is looked for in the boot disk's
// scan (bootDiskSuffix "", "2", "3" or "4").
Lines BootPartitions(const std::string& cmd, const std::string& temp,
                     const std::string& bootDiskSuffix);
// The loader placed when the active partition is C: itself.
Lines LoaderPlacementOnC(const std::string& cmd);
// The machine model gathered; tempKey is the scratch folder as the machine
// keys it (upper case), for the appended system text.
Lines MachineModel(const std::string& cmd, const std::string& temp, const std::string& tempKey,
                   const std::string& systemText);
// The boot disk's normal-partition list and the recovery-line batch.
Lines NormalPartitions(const std::string& cmd, const std::string& temp,
                       const std::string& bootDiskSuffix, const std::string& bootDiskIndex);
// KVX_rd0, KVX_rd1 and the launcher shortcut; startup is the Startup folder,
// on drive C:.
Lines StartupScripts(const std::string& cmd, const std::string& startup);
// The first choice of the target partition.
Lines ListBatch(const std::string& temp);
// The second choice, from the list without the partition partNumber.
Lines SecondListBatch(const std::string& cmd, const std::string& temp,
                      const std::string& partNumber);
// The hidden folder made on the target drive ("D:"): its file system asked,
// the folder made with the panel marker in it, and hidden.
Lines TargetFolder(const std::string& cmd, const std::string& temp, const std::string& drive);
// The loader's "_0" variant and the A20 options of a known machine model.
Lines LoaderSwitch(const std::string& cmd);
// The boot image arranged for a ThinkPad.
Lines ThinkPadArrangement();
// The finishing block, the last of every install run.
Lines FinishingBlock(const std::string& cmd, const std::string& temp);

// How often the run ended the program; every end must carry code 0.
int EndCount(const ScriptedHost& host);

// The notice when no second partition can take the images (style 0x40).
inline const std::string kOnePartitionWarning =
    "错误信息：只有一个分区或者第二分区被占用，可能无法使用本软件，但仍可以安装。解决办法：\r\n"
    "方法一：咨询电脑厂商或身边高手，要求增加一个新分区。\r\n"
    "方法二：自己解决，用DISKGENIUS4.0以上版本将C盘调小后,再在C盘后面新建扩展分区和逻辑分区。\r\n"
    "方法三：安装后运行本软件->【报告】->【保存到文件】->【上传到论坛】，以获得在线帮助。";

// The one question (style 0x34, caption "警告"): the product found on another
// Windows of the machine.
inline const std::string kOtherWindowsQuestion =
    "警告：发现在另外一个WINDOWS里已经安装了本软件。\r\n"
    "请不要继续安装本软件，以避免造成冲突和误恢复。\r\n"
    "如果继续安装，建议仅使用GHOST英文手动模式。\r\n\r\n"
    "是否继续安装本软件？\r\n\r\n"
    "是=继续安装\r\n"
    "否=放弃安装";

// The refusals of "1" (style 0x10, no caption); name: the product's name.
// A version file of an older installation below c:\boot\korv:
inline std::string OldVersionRefusal(const std::string& name) {
  return "发现已经存在旧版本的 " + name +
         "，请先卸载，再安装！\r\n"
         "如果不行，手动删除c:\\boot\\korv后再安装。";
}
// The version file in the product folder names another version:
inline std::string OtherVersionRefusal(const std::string& name) {
  return "发现已经存在其它版本的 " + name + "，\r\n请先卸载，再安装！";
}
// The uninstaller's shortcut is still in a Startup folder:
inline std::string UnfinishedUninstallRefusal(const std::string& name) {
  return "上一次卸载 " + name +
         "尚未完成，\r\n请依次使用以下方法解决，直到可以安装为止：\r\n"
         "方法一：开始->程序->启动->点击 KVX_unis\r\n方法二：重启电脑\r\n"
         "方法三：开始->程序->启动->右键删除 KVX_unis（不推荐）";
}

// The notice when the BCD entry is missing after its creation (name: the
// product's name) or lacks the loader (name: "kvldr.mbr"), style 0x40.
inline std::string EntryNotWritten(const std::string& name) {
  return "BCD的本软件启动项 " + name +
         " 写入失败，按【确认】继续\r\n"
         "请保证当前用户属于管理员组并且已经关闭UAC，再尝试重新安装本软件";
}

// The notice on a PC that started through UEFI, where no boot entry is made
// (style 0x40).
inline const std::string kUefiNotice =
    "本机以UEFI方式启动，无法在开机菜单中加入本软件启动项，开机还原功能在本机上不可用。\r\n"
    "本软件的其它部分已正常安装。";

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_EXPECTED_BLOCKS_H
