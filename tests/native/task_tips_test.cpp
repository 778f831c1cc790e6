#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/task_catalogue.h"
#include "tests/native/task_tip_fixture.h"

namespace torvane {
namespace {

using testing::kDefaultDesktop;
using testing::kSystemPolicy;
using testing::kUserDesktop;
using testing::TaskTipTest;

// One value a tip reads, and how the tip shows it when it holds `present`.
struct TipValue {
    RegistryRoot root;
    std::wstring path;
    std::wstring name;
    StoredValue present;
    std::wstring shown;  // what follows "name = "
};

struct TipRow {
    std::wstring text;
    std::wstring writtenKey;  // in full; "" for backup and restore, which write no value
    std::vector<TipValue> values;
};

StoredValue ExpandString(const std::wstring& text) {
    StoredValue value = StringValue(text);
    value.kind = kRegExpandSz;
    return value;
}

StoredValue TwoBinaryBytes() {
    StoredValue value = DwordValue(0xCDAB);
    value.kind = 3;  // REG_BINARY
    value.bytes.resize(2);
    return value;
}

const TipValue kUserEditorPolicy{RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools",
                                 DwordValue(1), L"1（REG_DWORD）"};
const TipValue kMachineEditorPolicy{RegistryRoot::LocalMachine, kSystemPolicy,
                                    L"DisableRegistryTools", DwordValue(2), L"2（REG_DWORD）"};

// Every task in catalogue order, with the values its tip reads in the order it reads them.
const std::vector<TipRow>& Rows() {
    static const std::vector<TipRow> rows{
        {L"备份注册表", L"", {kUserEditorPolicy, kMachineEditorPolicy}},
        {L"还原注册表", L"", {kUserEditorPolicy, kMachineEditorPolicy}},
        {L"禁用注册表编辑器",
         L"HKEY_CURRENT_USER\\" + kSystemPolicy,
         {kUserEditorPolicy, kMachineEditorPolicy}},
        {L"允许使用注册表编辑器",
         L"HKEY_CURRENT_USER\\" + kSystemPolicy,
         {kUserEditorPolicy, kMachineEditorPolicy}},
        {L"设置磁盘空间不够的警戒值",
         L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters",
         {{RegistryRoot::LocalMachine,
           L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters", L"DiskSpaceThreshold",
           DwordValue(8), L"8（REG_DWORD）"}}},
        {L"设置登录时的桌面背景",
         L"HKEY_USERS\\" + kDefaultDesktop,
         {{RegistryRoot::Users, kDefaultDesktop, L"Wallpaper", StringValue(L"C:\\图片\\a.bmp"),
           L"“C:\\图片\\a.bmp”（REG_SZ）"},
          {RegistryRoot::CurrentUser, kUserDesktop, L"Wallpaper", StringValue(L"D:\\b.jpg"),
           L"“D:\\b.jpg”（REG_SZ）"}}},
        {L"设置桌面图标大小",
         L"HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics",
         {{RegistryRoot::CurrentUser, L"Control Panel\\Desktop\\WindowMetrics", L"Shell Icon Size",
           StringValue(L"48"), L"“48”（REG_SZ）"}}},
        {L"隐藏桌面所有图标",
         L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
         {{RegistryRoot::CurrentUser,
           L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoDesktop",
           DwordValue(1), L"1（REG_DWORD）"}}},
        {L"在任务栏时间后面加入字符",
         L"HKEY_CURRENT_USER\\Control Panel\\International",
         {{RegistryRoot::CurrentUser, L"Control Panel\\International", L"sTimeFormat",
           StringValue(L"HH:mm:ss:tt"), L"“HH:mm:ss:tt”（REG_SZ）"},
          {RegistryRoot::CurrentUser, L"Control Panel\\International", L"s1159", StringValue(L"早"),
           L"“早”（REG_SZ）"},
          {RegistryRoot::CurrentUser, L"Control Panel\\International", L"s2359",
           StringValue(L"PM\r\nx"), L"“PM  x”（REG_SZ）"}}},
        {L"设置主题桌面",
         L"HKEY_CURRENT_USER\\" + kSystemPolicy,
         {{RegistryRoot::CurrentUser, kSystemPolicy, L"Wallpaper", StringValue(L"C:\\t.htm"),
           L"“C:\\t.htm”（REG_SZ）"},
          {RegistryRoot::CurrentUser, kSystemPolicy, L"Wallpaperstyle", StringValue(L"0"),
           L"“0”（REG_SZ）"}}},
        {L"缩短\u201C无响应程序\u201D等待时间",
         L"HKEY_USERS\\" + kDefaultDesktop,
         {{RegistryRoot::Users, kDefaultDesktop, L"WaitToKillAppTimeout", StringValue(L"20000"),
           L"“20000”（REG_SZ）"},
          {RegistryRoot::CurrentUser, kUserDesktop, L"WaitToKillAppTimeout", ExpandString(L"5000"),
           L"“5000”（REG_EXPAND_SZ）"}}},
        {L"从内存中卸载无用的DLL文件",
         L"HKEY_LOCAL_"
         L"MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL",
         {{RegistryRoot::LocalMachine,
           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL", L"",
           StringValue(L"1"), L"“1”（REG_SZ）"}}},
        {L"优化Windows文件系统",
         L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem",
         {{RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
           L"ConfigFileAllocsize", TwoBinaryBytes(), L"（类型 3，2 字节）"}}},
    };
    return rows;
}

std::wstring Spelled(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return L"HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return L"HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users:
            return L"HKEY_USERS";
    }
    return L"";
}

std::wstring Shown(const std::wstring& name) {
    return name.empty() ? L"（默认）" : name;
}

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(TaskTipTest, TheRowsAreTheCatalogue) {
    std::vector<std::wstring> texts;
    for (const TaskCategory& category : TaskCatalogue())
        for (const TaskEntry& task : category.tasks) texts.push_back(task.text);
    std::vector<std::wstring> rowTexts;
    for (const TipRow& row : Rows()) rowTexts.push_back(row.text);
    EXPECT_EQ(rowTexts, texts);
}

TEST_F(TaskTipTest, EachTipShowsItsValuesAbsentPresentAndUnreadable) {
    for (const TipRow& row : Rows()) {
        SCOPED_TRACE(testing::Utf8(row.text));
        FakeRegistry empty;
        std::swap(registry, empty);

        const std::wstring absent = Tip(row.text);
        if (!row.writtenKey.empty()) {
            EXPECT_EQ(absent.find(L"修改：" + row.writtenKey + L"\r\n"), 0u)
                << testing::Utf8(absent);
        }
        std::vector<RegistryRequest> reads;
        for (const TipValue& value : row.values) {
            // A value of another key than the one written is named with its key in full.
            const std::wstring key = Spelled(value.root) + L"\\" + value.path;
            const std::wstring named =
                (key == row.writtenKey ? L"" : key + L" 中的 ") + Shown(value.name);
            EXPECT_NE(absent.find(L"：" + named + L" 未设置\r\n"), std::wstring::npos)
                << testing::Utf8(absent);
            reads.push_back({L"ReadValue", value.path + L"\\" + value.name});
        }
        EXPECT_EQ(Count(absent, L" 未设置\r\n"), row.values.size());
        EXPECT_EQ(registry.requests, reads) << "each value read once, in order";
        EXPECT_EQ(registry.KeyCount(), 0u);

        for (const TipValue& value : row.values)
            registry.Put(value.root, value.path, value.name, value.present);
        const std::wstring present = Tip(row.text);
        for (const TipValue& value : row.values) {
            EXPECT_NE(present.find(Shown(value.name) + L" = " + value.shown + L"\r\n"),
                      std::wstring::npos)
                << testing::Utf8(present);
        }
        EXPECT_EQ(Count(present, L" 未设置\r\n"), 0u);

        for (const TipValue& value : row.values)
            registry.RefuseReads(value.root, value.path, kErrorAccessDenied);
        const std::wstring unreadable = Tip(row.text);
        EXPECT_EQ(Count(unreadable, L" 无法读取（拒绝访问。）\r\n"), row.values.size())
            << testing::Utf8(unreadable);
        ExpectOnlyReads();
    }
}

TEST_F(TaskTipTest, LongValuesAreCutAndEveryTipStaysUnderTheLimit) {
    const std::wstring longText(5000, L'长');
    for (const TipRow& row : Rows()) {
        for (const TipValue& value : row.values)
            registry.Put(value.root, value.path, value.name, StringValue(longText));
    }
    for (const TipRow& row : Rows()) {
        SCOPED_TRACE(testing::Utf8(row.text));
        const std::wstring tip = Tip(row.text);
        EXPECT_NE(tip.find(L"“" + std::wstring(100, L'长') + L"…”"), std::wstring::npos);
        EXPECT_EQ(tip.find(std::wstring(101, L'长')), std::wstring::npos);
        EXPECT_NE(tip.find(L"管理员权限："), std::wstring::npos) << "the last line is kept";
    }
    ExpectOnlyReads();
}

TEST_F(TaskTipTest, NoTipForTextsThatAreNoTask) {
    EXPECT_EQ(TaskTip(L"注册表管理", context), L"");
    EXPECT_EQ(TaskTip(L"备份注册表 ", context), L"");
    EXPECT_TRUE(registry.requests.empty());
}

}  // namespace
}  // namespace torvane
