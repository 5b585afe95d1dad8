#include "precheck/checks.h"

#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {

namespace {

// Guards against a finding left by an interrupted run passing for this run's.
// The script writes its finding only on a hit.
void DeleteStaleFinding(Host& host, const PreInstallValues& values, const Text& findingPath) {
  ScratchDelete(host, values.ShellPrefix, findingPath);
}

}  // namespace

void CheckOtherWindows(Host& host, const PreInstallValues& values) {
  const Text scriptPath = Concat({values.TempDir, "\\vk_sys2.bat"});
  const Text findingPath = Concat({values.TempDir, "\\vk_sys2.txt"});
  DeleteStaleFinding(host, values, findingPath);
  const Text script =
      Concat({"\r\nfor %%i in (d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z) do if exist %%i:",
              values.ProductDirNoDrive, "ghost.img echo sys2>", findingPath, "\r\n"});
  ScratchBatchRun(host, Concat({values.TempDir, "\\"}), "vk_sys2.bat", script);
  if (!host.FileExists(findingPath))
    return;  // the script stays in the scratch folder

  const int answer = host.ShowMessage(
      "警告：发现在另外一个WINDOWS里已经安装了本软件。\r\n"
      "请不要继续安装本软件，以避免造成冲突和误恢复。\r\n"
      "如果继续安装，建议仅使用GHOST英文手动模式。\r\n\r\n"
      "是否继续安装本软件？\r\n\r\n"
      "是=继续安装\r\n"
      "否=放弃安装",
      kStyleQuestion, Text("警告"));
  ScratchDelete(host, values.ShellPrefix, findingPath);
  ScratchDelete(host, values.ShellPrefix, scriptPath);
  if (answer == kButtonYes)
    return;
  // No: the user gives up. The setup package reads "win_lan1" as "do not
  // install"; the user has just answered, so nothing more is shown.
  RenameVerdictMarker(host, values, kForeignVersionVerdict);
  host.EndProgram(0);
}

namespace {

// One version check: a file of an installation that does not name this very
// version refuses. An empty or unreadable file names no version either.
void CheckVersionFile(Host& host, const PreInstallValues& values, const Text& path,
                      const Text& message) {
  if (!host.FileExists(path))
    return;
  SharedFileValues probe;
  if (ProbeIntoShared(host, probe, path, values.VersionText, false) != kNotFound)
    return;
  RefuseInstall(host, values, kForeignVersionVerdict, message);
}

Text OldVersionMessage(const PreInstallValues& values, const Text& folder) {
  return Concat({"发现已经存在旧版本的 ", values.ProductName,
                 "，请先卸载，再安装！\r\n如果不行，手动删除", folder, "后再安装。"});
}

}  // namespace

void CheckInstalledVersions(Host& host, const PreInstallValues& values) {
  // Each message names the folder of the file that was found, so that the
  // user's deleting it by hand actually clears the check.
  CheckVersionFile(host, values, values.OldIniPath,
                   OldVersionMessage(values, values.OldProductDir));
  CheckVersionFile(host, values, values.OldUninstallXmlPath,
                   OldVersionMessage(values, values.OldProductDir));
  CheckVersionFile(
      host, values, values.UninstallXmlPath,
      Concat({"发现已经存在其它版本的 ", values.ProductName, "，\r\n请先卸载，再安装！"}));
}

void CheckUnfinishedUninstall(Host& host, const PreInstallValues& values) {
  const Text message = Concat({"上一次卸载 ", values.ProductName,
                               "尚未完成，\r\n请依次使用以下方法解决，直到可以安装为止：\r\n方法一"
                               "：开始->程序->启动->点击 ",
                               values.ProductAbbrev,
                               "_unis\r\n方法二：重启电脑\r\n方法三：开始->程序->启动->右键删除 ",
                               values.ProductAbbrev, "_unis（不推荐）"});
  const Text shortcutName = Concat({values.ProductAbbrev, "_UNIS.LNK"});
  for (const Text& folder : {values.StartupDirSlash, values.AllUsersStartupDir}) {
    if (host.FileExists(Concat({folder, shortcutName}))) {
      RefuseInstall(host, values, kUnfinishedUninstallVerdict, message);
    }
  }
}

void RepairMenuFileName(Host& host, const PreInstallValues& values) {
  const Text misnamed = Concat({values.ProductDirSlash, "menul.lst"});
  if (!host.FileExists(misnamed))
    return;
  host.RenameFile(misnamed, Concat({values.ProductDirSlash, "menu1.lst"}));
  // The same rename once more through the interpreter, for a machine where
  // the direct one did not take; it finds nothing to do when the first did.
  host.RunCommand(RenameCommand(values.ShellPrefix, misnamed, "menu1.lst"));
}

}  // namespace kvx
