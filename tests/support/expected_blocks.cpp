#include "tests/support/expected_blocks.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_host.h"

namespace kvx::testing {

Lines Join(std::initializer_list<Lines> blocks) {
  Lines joined;
  for (const Lines& block : blocks)
    joined.insert(joined.end(), block.begin(), block.end());
  return joined;
}

// --- Blocks that run alike on every machine, but for its interpreter,
// scratch folder, Startup folder and what the survey found. ---

Lines CompanionTools(const std::string& cmd) {
  return {
      "run " + cmd + "ren c:\\vesk\\korv\\zp zptlx.exe",
      "run " + cmd + "ren c:\\vesk\\korv\\fi fi.exe",
      "run " + cmd + "ren c:\\vesk\\korv\\fr fr.exe",
      "run c:\\vesk\\korv\\ghost32.exe -dd",
      "copy GHSTSTAT.TXT c:\\vesk\\korv\\GHSTSTAT.TXT",
      "delete GHSTSTAT.TXT",
  };
}

Lines DiskSurvey(const std::string& cmd) {
  return {
      "run " + cmd + "c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 2 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all2.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 3 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all3.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 4 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all4.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all3.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all4.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "ver|find \" 6.\" >nul&&ren c:\\vesk\\korv\\nt vt",
      "run " + cmd + "ver|find \" 5.\" >nul&&ren c:\\vesk\\korv\\vt nt",
  };
}

// System drive C:; the active partition is looked for in the boot disk's scan.
Lines BootPartitions(const std::string& cmd, const std::string& temp,
                     const std::string& bootDiskSuffix) {
  return {
      "write " + temp +
          "vk_spt01.bat \r\nfor /f \"tokens=2 delims=: \" %%i in ('findstr \" C: \" "
          "c:\\vesk\\korv\\zp_all0.txt') do c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini "
          "[spt_i] spt_1=%%i&c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [spt_i] spt_2=C:\r\n",
      "run " + temp + "vk_spt01.bat",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=0",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all2.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=1",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all3.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=2",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all4.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=3",
      "write " + temp +
          "vk_apt01.bat \r\nfor /f \"tokens=2,3 delims=: \" %%i in ('findstr \"Yes\" "
          "c:\\vesk\\korv\\zp_all" +
          bootDiskSuffix +
          ".txt') do c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_1=%%i&"
          "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_2=%%j:\r\n",
      "run " + temp + "vk_apt01.bat",
  };
}

// The active partition is C: itself.
Lines LoaderPlacementOnC(const std::string& cmd) {
  return {
      "run " + cmd + "xcopy c:\\KVLDR C:\\ /k /h /r /c /y ",
      "run " + cmd + "xcopy c:\\kvldr.mbr C:\\ /k /h /r /c /y ",
      "attributes C:\\KVLDR 7",
      "attributes C:\\kvldr.mbr 7",
      "attributes C:\\KVLDR 7",
      "attributes C:\\kvldr.mbr 7",
  };
}

// tempKey: the scratch folder as the machine keys it (upper case), for the
// appended system text.
Lines MachineModel(const std::string& cmd, const std::string& temp, const std::string& tempKey,
                   const std::string& systemText) {
  return {
      "run " + cmd + "wmic exit",
      "run " + cmd + "wmic bios list full>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "wmic csproduct list full>>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "wmic baseboard list full>>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "type \"" + temp + "vk_bios1.tmp\">\"" + temp + "vk_bios2.tmp\"",
      "append " + tempKey + "VK_BIOS2.TMP " + systemText,
  };
}

Lines NormalPartitions(const std::string& cmd, const std::string& temp,
                       const std::string& bootDiskSuffix, const std::string& bootDiskIndex) {
  return {
      "run " + cmd + "copy /y c:\\vesk\\korv\\zp_all" + bootDiskSuffix +
          ".txt c:\\vesk\\korv\\zp_nor_d.txt",
      "run " + cmd + "c:\\vesk\\korv\\zptlx " + bootDiskIndex +
          " /find:normal /y >c:\\vesk\\korv\\zp_nor.txt",
      "delete " + temp + "vk_hp01.txt",
      "write " + temp +
          "vk_hp01.bat \r\nfor /f \"delims=\" %%a in ('findstr /i \" RECOVERY\" "
          "c:\\vesk\\korv\\zp_nor.txt') do echo %%a>" +
          temp + "vk_hp01.txt&goto :eof\r\n",
      "run " + temp + "vk_hp01.bat",
  };
}

// startup: the Startup folder, on drive C:.
Lines StartupScripts(const std::string& cmd, const std::string& startup) {
  return {
      "run " + cmd + "echo [echo_of]>c:\\vesk\\korv\\KVX_rd0",
      "run " + cmd + "echo set_su=>>c:\\vesk\\korv\\KVX_rd0",
      "ini c:\\vesk\\korv\\KVX_rd0 [echo_of] set_su=" + startup + "\\",
      "delay 3000",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd0 -f:\"[echo_of]\" -t:\"@echo off\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd0 -f:\"set_su=\" -t:\"set su=\"",
      "run " + cmd + "echo [echo_of]>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo a=>>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo cc=>>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo cd=>>c:\\vesk\\korv\\KVX_rd1",
      "ini c:\\vesk\\korv\\KVX_rd1 [echo_of] cd=\"" + startup + "\\\"",
      "delay 3000",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"a=\" -t:\"C:\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"cc=\" -t:\"cd\\\\\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"[echo_of]\" -t:\"@echo off\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"cd=\" -t:\"cd \"",
      "shortcut c:\\vesk\\korv\\KVX_SU c:\\vesk\\korv\\KVX_SU.EXE c:\\vesk\\korv\\",
      "delay 5000",
  };
}

Lines ListBatch(const std::string& temp) {
  return {
      "write " + temp +
          "vk_lpt01.bat \r\nfor /f \"skip=2 tokens=2,3 delims=: \" %%i in "
          "(c:\\vesk\\korv\\zp_nor.txt) do echo [part]>c:\\vesk\\korv\\krv_drv.ini&& echo "
          "pt_1=%%i>>c:\\vesk\\korv\\krv_drv.ini&& echo pt_2=%%j:>>c:\\vesk\\korv\\krv_drv.ini",
      "run " + temp + "vk_lpt01.bat",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Log:\" -t:\"8:\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Pri:\" -t:\"8:\"",
  };
}

Lines SecondListBatch(const std::string& cmd, const std::string& temp,
                      const std::string& partNumber) {
  return {
      "run " + cmd + "type c:\\vesk\\korv\\zp_nor.txt|find /v \":" + partNumber +
          " \">c:\\vesk\\korv\\zp_nor_z.txt",
      "write " + temp +
          "vk_lpt02.bat \r\nfor /f \"skip=2 tokens=2,3 delims=: \" %%i in "
          "(c:\\vesk\\korv\\zp_nor_z.txt) do echo [part]>c:\\vesk\\korv\\krv_drv.ini&& echo "
          "pt_1=%%i>>c:\\vesk\\korv\\krv_drv.ini&& echo pt_2=%%j:>>c:\\vesk\\korv\\krv_drv.ini",
      "run " + temp + "vk_lpt02.bat",
  };
}

Lines TargetFolder(const std::string& cmd, const std::string& temp, const std::string& drive) {
  return {
      "run " + cmd + "chkntfs " + drive + ">\"" + temp + "vk_001.tmp\"",
      "mkdir " + drive + "\\~1",
      "run " + cmd + "attrib -h -s -r " + drive + "\\~1",
      "run " + cmd + "attrib -h -s -r " + drive + "\\~1\\*.*",
      "run " + cmd + "copy /y c:\\vesk\\korv\\c_pan.txt " + drive + "\\~1\\",
      "run " + cmd + "attrib +h " + drive + "\\~1",
  };
}

Lines LoaderSwitch(const std::string& cmd) {
  return {
      "attributes C:\\KVLDR 0",
      "run " + cmd + "copy /y c:\\vesk\\korv\\KVLDR_0 C:\\KVLDR",
      "attributes C:\\KVLDR 7",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] a20=0",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] a21=0",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] ogd=1",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\menu*.lst -f:\"chainloader --disable-a20 (fd0)\" "
      "-t:\"chainloader (fd0)\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\menu*.lst -f:\"map --mem --a20-keep-on=0\" "
      "-t:\"map --mem\"",
  };
}

Lines ThinkPadArrangement() {
  return {
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [mem] ramdrv=1",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"rem device=ramdrive\" "
      "-t:\"device=ramdrive.sys\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"xmsdsk.exe 25000\" "
      "-t:\"rem xmsdsk 25000\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"set ramdrive=x:\" "
      "-t:\"rem ramdrive=x:\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"rem call fdrd\" "
      "-t:\"call fdrd.bat\"",
  };
}

Lines FinishingBlock(const std::string& cmd, const std::string& temp) {
  return {
      "run " + cmd + "attrib -h -r -s c:\\vesk\\korv\\*.*",
      "run " + cmd + "attrib -h -r -s c:\\vesk\\korv",
      "run " + cmd + "attrib +h -r -s c:\\vesk",
      "run " + cmd + "ren c:\\vesk\\korv\\ghostexp ghostexp.reg",
      "run " + cmd + "reg import c:\\vesk\\korv\\ghostexp.reg",
      "run " + cmd + "ren c:\\vesk\\korv\\ghostexp.reg ghostexp",
      "run " + cmd + "ren c:\\vesk\\korv\\KVX_SU.LNK KVX_SU",
      "run " + cmd + "ren c:\\vesk\\korv\\zptlx.exe zp",
      "run " + cmd + "ren c:\\vesk\\korv\\fi.exe fi",
      "run " + cmd + "ren c:\\vesk\\korv\\fr.exe fr",
      "delete c:\\vesk\\korv\\IRIMG2.BMP",
      "run " + cmd + "del /q \"" + temp + "vk_*.*\"",
      "run " + cmd + "del /q \"c:\\vesk\\korv\\krv_run\\*.*\"",
  };
}

int EndCount(const ScriptedHost& host) {
  int ends = 0;
  for (const auto& op : host.Log()) {
    if (op.name == "EndProgram") {
      EXPECT_EQ(op.number, 0);
      ++ends;
    }
  }
  return ends;
}

}  // namespace kvx::testing
