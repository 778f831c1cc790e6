// Registry backup through the system registry editor, and restore through the
// shell's "open" action on a .reg file. Neither waits for what it starts.
#include "tweaks/backup_command.h"
#include "tweaks/failure_report.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/user_messages.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kUnencodableMessage = L"文件名包含无法处理的字符，请选择其他文件名。";
constexpr const wchar_t* kCannotWriteBatch = L"无法写入备份脚本：";
constexpr const wchar_t* kCannotStartBatch = L"无法启动备份脚本：";
constexpr const wchar_t* kPlantedOpener =
    L"没有还原：打开注册表文件的程序位于本程序所在的文件夹或当前文件夹中，可能是冒充的程序：";

void ShowError(TweakContext& context, const std::wstring& message) {
    context.dialogs.ShowMessageBox(message, kButtonsOkOnly, messages::kErrorTitle);
}

}  // namespace

void BackupRegistry(TweakContext& context) {
    context.commonDialog1.ShowSave();
    const std::wstring exportPath = context.commonDialog1.FileName();
    if (exportPath.empty()) return;

    const std::wstring batchPath = context.shell.ProgramFolder() + L"\\" + kBackupBatchName;
    const TextFileResult written =
        context.shell.WriteTextLine(batchPath, BuildExportLine(exportPath));
    if (!written.representable) {
        ShowError(context, kUnencodableMessage);
        return;
    }
    if (written.error != kSuccess) {
        // Beside a program under Program Files only an administrator may write.
        ReportFailure(context,
                      kCannotWriteBatch + batchPath + messages::kLineBreak +
                          context.shell.ErrorText(written.error),
                      written.error);
        return;
    }
    const ErrorCode started = context.shell.RunCommand(BuildInterpreterCommandLine(batchPath));
    if (started != kSuccess) {
        ShowError(context, kCannotStartBatch + batchPath + messages::kLineBreak +
                               context.shell.ErrorText(started));
    }
}

void RestoreRegistry(TweakContext& context) {
    context.commonDialog1.ShowOpen();
    const std::wstring registryFile = context.commonDialog1.FileName();
    if (registryFile.empty()) return;
    const ShellOpenOutcome opened = context.shell.ShellOpen(registryFile);
    if (!opened.refusedProgram.empty()) ShowError(context, kPlantedOpener + opened.refusedProgram);
}

}  // namespace torvane::mod_regSetting
