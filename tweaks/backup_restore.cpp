// Registry backup through the system registry editor, and restore through the
// shell's "open" action on a .reg file. Neither waits for what it starts.
#include <utility>

#include "tweaks/backup_command.h"
#include "tweaks/failure_report.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/user_messages.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kUnencodableMessage = L"文件名包含无法处理的字符，请选择其他文件名。";
constexpr const wchar_t* kCannotWriteBatch = L"无法写入备份脚本：";
constexpr const wchar_t* kPreviousBackupRunning = L"上一次备份还没有结束，请等它结束后再试。";
constexpr const wchar_t* kReadOnlyBatch = L"备份脚本是只读文件，无法改写：";
constexpr const wchar_t* kBatchChanged = L"备份脚本写入后被更改，没有运行：";
constexpr const wchar_t* kCannotStartBatch = L"无法启动备份脚本：";
constexpr const wchar_t* kPlantedOpener =
    L"没有还原：打开注册表文件的程序位于本程序所在的文件夹或当前文件夹中，可能是冒充的程序：";
constexpr const wchar_t* kCannotOpenRegistryFile = L"无法打开注册表文件：";

void ShowError(TweakContext& context, const std::wstring& message) {
    context.dialogs.ShowMessageBox(message, kButtonsOkOnly, messages::kErrorTitle);
}

}  // namespace

void BackupRegistry(TweakContext& context) {
    context.commonDialog1.ShowSave();
    const std::wstring exportPath = context.commonDialog1.FileName();
    if (exportPath.empty()) return;

    // Elevated, the batch file runs with administrator rights, and the folder
    // it lies in (Downloads, say) may be one that any program of the user can
    // write: the file is held from its writing until the interpreter has
    // exited, so that nothing else can be run in its place. Unelevated, a
    // swap would gain nothing.
    const AfterWriting after = context.elevation.State() == ElevationState::Elevated
                                   ? AfterWriting::Hold
                                   : AfterWriting::Release;
    const std::wstring batchPath = context.shell.ProgramFolder() + L"\\" + kBackupBatchName;
    TextFileResult written =
        context.shell.WriteTextLine(batchPath, BuildExportLine(exportPath), after);
    if (!written.representable) {
        ShowError(context, kUnencodableMessage);
        return;
    }
    // The usual holder is the previous backup's own interpreter, still
    // exporting. A read-only attribute is the user's own doing, kept from
    // administrators too: neither is a matter of rights.
    if (written.error != kSuccess && written.obstacle == FileObstacle::InUse) {
        ShowError(context, kPreviousBackupRunning);
        return;
    }
    if (written.error != kSuccess && written.obstacle == FileObstacle::ReadOnly) {
        ShowError(context, kReadOnlyBatch + batchPath);
        return;
    }
    if (written.error != kSuccess) {
        // Beside a program under Program Files only an administrator may write.
        ReportFailure(context,
                      kCannotWriteBatch + batchPath + messages::kLineBreak +
                          context.shell.ErrorText(written.error),
                      written.error, RefusedTarget::ProgramFolder);
        return;
    }
    if (written.changedAfterWriting) {
        ShowError(context, kBatchChanged + batchPath);
        return;
    }
    const ErrorCode started =
        context.shell.RunCommand(BuildInterpreterCommandLine(batchPath), std::move(written.hold));
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
    if (!opened.refusedProgram.empty()) {
        ShowError(context, kPlantedOpener + opened.refusedProgram);
        return;
    }
    // Declining the registry editor's elevation prompt is the user's own
    // answer, not a failure to report.
    if (opened.error != kSuccess && opened.error != kErrorCancelled) {
        ShowError(context, kCannotOpenRegistryFile + registryFile + messages::kLineBreak +
                               context.shell.ErrorText(opened.error));
    }
}

// Both run through the registry editor, so both stop where it is blocked.
const TaskDescription kBackupRegistryTip{
    nullptr,
    L"导出整个注册表：把“regedit /e 你选择的文件”写入本程序文件夹中的 BackUp.bat "
    L"并运行它。本任务自己不改注册表。",
    {},
    kEditorPolicyValues,
    L"注册表编辑器已被禁用，备份和还原一般无法运行。",
    L"只导出能读取的项，不保存权限；完整导出约 0.5 GB，需要几分钟。",
    L"立即。",
    L"本程序在 Program Files 等只有管理员能写入的文件夹中时需要（为了写入 BackUp.bat），"
    L"在“下载”等你能写入的文件夹中不需要；regedit 会请管理员确认提升。"};

const TaskDescription kRestoreRegistryTip{
    nullptr,
    L"把你选择的 .reg 文件交给 Windows 打开：regedit 请你确认后把其中的值合并进注册表，"
    L"备份之后新增的项和值不会被删除。本任务自己不改注册表。",
    {},
    kEditorPolicyValues,
    L"注册表编辑器已被禁用，备份和还原一般无法运行。",
    L"没有管理员权限时，本机范围的项写入失败，regedit 会报告未能写入全部数据；"
    L"在运行中的系统上导入整个注册表一般总会部分失败。",
    L"立即；许多设置一般要注销或重启后才生效。",
    L"文件中有 HKEY_LOCAL_MACHINE 等本机范围的项时需要；只有你自己的设置时不需要。"};

}  // namespace torvane::mod_regSetting
