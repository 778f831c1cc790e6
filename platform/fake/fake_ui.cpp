#include "platform/fake/fake_ui.h"

#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace torvane {

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint16_t>(text[++i]) - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const UiEvent& e) {
    out << ToUtf8(e.kind) << "(\"" << ToUtf8(e.text) << "\", \"" << ToUtf8(e.title) << "\"";
    if (!e.extra.empty()) out << ", \"" << ToUtf8(e.extra) << "\"";
    if (!e.extension.empty()) out << ", ext \"" << ToUtf8(e.extension) << "\"";
    if (e.buttons >= 0) out << ", buttons " << e.buttons;
    return out << ")";
}

UiEvent MessageBoxEvent(const std::wstring& prompt, int buttons, const std::wstring& title) {
    return {L"MessageBox", prompt, title, L"", buttons};
}

UiEvent InputBoxEvent(const std::wstring& prompt, const std::wstring& title,
                      const std::wstring& defaultText) {
    return {L"InputBox", prompt, title, defaultText, -1};
}

std::optional<std::wstring> FakeFileDialog::Choose(const Request& request) {
    log_.push_back({request.save ? L"ShowSave" : L"ShowOpen", name_, request.filter,
                    request.initialName, -1, request.defaultExtension});
    if (answers.empty()) throw UnscriptedRequest("file dialog shown without a scripted answer");
    std::wstring answer = answers.front();
    answers.pop_front();
    if (answer.empty()) return std::nullopt;
    return answer;
}

FakeUi::FakeUi()
    : commonDialog1(L"CommonDialog1", log),
      commonDialog2(L"CommonDialog2", log),
      exportDialog(L"ExportDialog", log) {}

int FakeUi::ShowMessageBox(const std::wstring& prompt, int buttons, const std::wstring& title) {
    log.push_back(MessageBoxEvent(prompt, buttons, title));
    if (openKeyCount) openKeysAtMessageBox.push_back(openKeyCount());
    if (whileDialogShows) whileDialogShows();
    if (buttons == kButtonsOkOnly) return kAnswerOk;
    if (messageBoxAnswers.empty()) throw UnscriptedRequest("question without a scripted answer");
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

std::optional<std::wstring> FakeUi::ShowInputBox(const std::wstring& prompt,
                                                 const std::wstring& title,
                                                 const std::wstring& defaultText) {
    log.push_back(InputBoxEvent(prompt, title, defaultText));
    if (whileDialogShows) whileDialogShows();
    if (inputBoxAnswers.empty()) throw UnscriptedRequest("input box without a scripted answer");
    std::optional<std::wstring> answer = inputBoxAnswers.front();
    inputBoxAnswers.pop_front();
    return answer;
}

ShellOpenOutcome FakeUi::ShellOpen(const std::wstring& fullPath) {
    log.push_back({L"ShellOpen", fullPath, L"", L"", -1});
    if (!plantedOpener.empty()) return {kSuccess, plantedOpener};
    return {shellOpenError, L""};
}

namespace {

// Stands for a held file by its path, which RunCommand's event shows.
class FakeFileHold : public FileHold {
  public:
    explicit FakeFileHold(std::wstring path) : path(std::move(path)) {}
    const std::wstring path;
};

}  // namespace

ErrorCode FakeUi::RunCommand(const std::wstring& commandLine, std::unique_ptr<FileHold> hold) {
    const auto* held = dynamic_cast<const FakeFileHold*>(hold.get());
    log.push_back({L"RunCommand", commandLine, held ? held->path : L"", L"", -1});
    return runCommandError;
}

TextFileResult FakeUi::WriteTextLine(const std::wstring& path, const std::wstring& line,
                                     AfterWriting after) {
    const auto bytes = EncodeCodePage936(line);
    if (!bytes) return TextFileResult::Unrepresentable();
    if (writeError != kSuccess) return TextFileResult::Failed(writeError, writeObstacle);
    const bool holding = after == AfterWriting::Hold;
    log.push_back({L"WriteTextLine", path, holding ? L"hold" : L"", line, -1});
    files[path] = *bytes + "\r\n";
    TextFileResult result;
    if (holding && changedAfterWriting) {
        result.changedAfterWriting = true;
    } else if (holding) {
        result.hold = std::make_unique<FakeFileHold>(path);
    }
    return result;
}

ErrorCode FakeUi::SaveFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    log.push_back({L"SaveFile", path, L"", L"", -1});
    if (writeError != kSuccess) return writeError;
    savedFiles[path] = bytes;
    return kSuccess;
}

std::wstring FakeUi::ErrorText(ErrorCode error) {
    switch (error) {
        case kErrorAccessDenied:
            return L"拒绝访问。";
        case kErrorFileNotFound:
            return L"系统找不到指定的文件。";
        default:
            return L"错误 " + std::to_wstring(error);
    }
}

ErrorCode FakeUi::RestartElevated() {
    log.push_back({L"RestartElevated", L"", L"", L"", -1});
    return restartResult;
}

void FakeUi::CloseMainWindow() {
    log.push_back({L"CloseMainWindow", L"", L"", L"", -1});
    mainWindowClosed = true;
}

std::optional<std::string> EncodeCodePage936(const std::wstring& text) {
    if (text.empty()) return std::string();
#ifdef _WIN32
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                            nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        out.data(), size, nullptr, &usedDefault);
    return out;
#else
    // glibc's converter fails on unmappable characters instead of substituting.
    iconv_t converter = iconv_open("CP936", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string input;
    for (wchar_t c : text) {
        input += static_cast<char>(static_cast<std::uint16_t>(c) & 0xFF);
        input += static_cast<char>(static_cast<std::uint16_t>(c) >> 8);
    }
    std::string out(text.size() * 4, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
#endif
}

}  // namespace torvane
