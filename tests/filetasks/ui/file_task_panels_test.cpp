// The file task panels keep what users set: every control moved off its design
// value, saved, and loaded into a fresh panel gives the same run parameters, the
// same enabled controls and the same saved section, under the key names users'
// settings files already hold. Every change asks for a preview unless listed.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "filetasks/ui/content_insert_panel.h"
#include "filetasks/ui/content_replace_panel.h"
#include "filetasks/ui/create_panel.h"
#include "filetasks/ui/download_panel.h"
#include "filetasks/ui/file_times_panel.h"
#include "filetasks/ui/path_transfer_panel.h"
#include "filetasks/ui/shortcut_properties_panel.h"
#include "filetasks/ui/split_panel.h"
#include "settings/ini_document.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;

// Parameter values written one after another, so two structs compare as text.
void Put(std::ostream& out, const std::string& value) { out << '"' << value << '"'; }
void Put(std::ostream& out, const std::optional<std::string>& value) {
    if (value) Put(out, *value);
    else out << "none";
}
void Put(std::ostream& out, const std::vector<std::string>& values) {
    out << '[';
    for (const std::string& value : values) Put(out, value), out << ',';
    out << ']';
}
template <typename Value>
void Put(std::ostream& out, const Value& value) {
    if constexpr (std::is_enum_v<Value>) {
        out << static_cast<long long>(value);
    } else if constexpr (requires { value.begin(); }) {
        for (const auto& item : value) out << item << ',';
    } else {
        out << value;
    }
}
template <typename... Values>
std::string Show(const Values&... values) {
    std::ostringstream out;
    ((Put(out, values), out << ' '), ...);
    return out.str();
}

std::string ShowParams(const ContentInsertParams& p) { return Show(p.insertType, p.position, p.locator, p.insertText); }
std::string ShowParams(const ContentReplaceParams& p) {
    return Show(p.findText, p.replaceText, p.count, p.ignoreCase, p.multiline, p.globalMatch, p.useRegex);
}
std::string ShowParams(const CreateTaskParams& p) {
    return Show(p.method, p.createFile, p.sourceItems, p.targetFolders, p.absolutePaths, p.dynamicTemplate,
                p.dynamicLimit, p.dynamicCap);
}
std::string ShowParams(const DownloadParams& p) {
    return Show(p.counterMode, p.urlTemplate, p.startValue, p.endValue, p.step, p.zeroPad, p.useLetters,
                p.fixedAddresses, p.delay, p.delayMs, p.folder, p.addressCap);
}
std::string ShowParams(const FileTimesParams& p) {
    std::string text;
    for (const TimeGroupParams& group : p.groups) text += Show(group.setTime, group.units) + "; ";
    return text;
}
std::string ShowParams(const PathTaskParams& p) { return Show(p.mode, p.newFolder, p.relativePath); }
std::string ShowParams(const ShortcutTaskParams& p) {
    const TargetReplaceParams& t = p.target;
    return Show(t.changeTarget, t.findText, t.replaceText, t.useRegex, t.globalMatch, t.ignoreCase, t.count,
                p.description, p.iconLocation, p.arguments, p.windowStyle);
}
std::string ShowParams(const SplitParams& p) {
    return Show(p.splitType, p.position, p.marker, p.useCustomPath, p.customPath, p.deleteSource, p.loadParts);
}

// What the editor box answers: lines for the lists, one line for the rest.
InputDialogResult TypedLines(InputDialogParams) { return {true, "typed 1\r\ntyped 2"}; }
InputDialogResult Typed(InputDialogParams) { return {true, "typed"}; }

struct PanelCase {
    const char* section;
    std::function<std::unique_ptr<TaskPanel>()> make;
    std::function<std::string(TaskPanel&)> params;
    std::vector<std::string> keys;
    // A section as users' settings files hold it, the parameters it gives and the
    // ticks and radios it leaves chosen.
    const char* stored;
    const char* storedParams;
    std::vector<std::string> storedChosen;
    std::set<std::string> silent{};            // controls whose change asks for no preview
    std::vector<const char*> dialogButtons{};  // buttons that set a value through the editor box
};

template <typename Panel>
std::function<std::string(TaskPanel&)> ParamsOf() {
    return [](TaskPanel& panel) { return ShowParams(static_cast<Panel&>(panel).CurrentParameters()); };
}

std::vector<PanelCase> PanelCases() {
    return {
        {"批量内容插入", [] { return std::make_unique<ContentInsertPanel>(nullptr, nullptr, Typed); },
         ParamsOf<ContentInsertPanel>(), {"插入类型", "插入位置", "欲插入文本", "定位字串"},
         "插入类型=6\n插入位置=12.9\n欲插入文本=#主名\n定位字串=<h1>\n", "6 12 \"<h1>\" \"#主名\" ", {},
         {}, {"按钮定位字串"}},
        {"批量内容替换", [] { return std::make_unique<ContentReplacePanel>(nullptr); }, ParamsOf<ContentReplacePanel>(),
         {"欲替换", "替换成", "替换次数", "忽略大小写", "匹配多行", "全局匹配", "启用正则"},
         "欲替换=a+\n替换成=b\n替换次数=3.7\n忽略大小写=真\n匹配多行=假\n全局匹配=真\n启用正则=真\n",
         "\"a+\" \"b\" 3 1 0 1 1 ", {"选择框忽略大小写", "选择框全局匹配", "选择框启用正则"}},
        {"批量创建", [] { return std::make_unique<CreatePanel>(nullptr, nullptr, TypedLines); }, ParamsOf<CreatePanel>(),
         {"创建文件", "创建目录", "创建方式", "此列表", "彼列表", "绝对路径", "动态路径", "动态上限"},
         "创建文件=假\n创建目录=真\n创建方式=1\n此列表=a.txt;;;b.txt\n彼列表=/t\n绝对路径=/p/1;;;/p/2\n动态路径=/x/f*\n"
         "动态上限=20\n",
         "1 0 [\"a.txt\",\"b.txt\",] [\"/t\",] [\"/p/1\",\"/p/2\",] \"/x/f*\" 20 10000 ",
         {"单选框创建目录", "单选框绝对路径"},
         {},
         {"按钮此列表", "按钮彼列表"}},
        {"批量下载", [] { return std::make_unique<DownloadPanel>(nullptr); }, ParamsOf<DownloadPanel>(),
         {"是否递进（否则固定）", "递进地址", "开始值", "结束值", "增量值", "零补齐", "字母递进", "固定地址", "是否延迟",
          "延迟毫秒", "保存文件夹"},
         "是否递进（否则固定）=假\n递进地址=http://h/*.jpg\n开始值=3\n结束值=9\n增量值=2\n零补齐=假\n字母递进=真\n"
         "固定地址=http://a/1;;;http://a/2\n是否延迟=真\n延迟毫秒=1500\n保存文件夹=/save\n",
         "0 \"http://h/*.jpg\" 3 9 2 0 1 \"http://a/1\nhttp://a/2\" 1 1500 \"/save/\" 10000 ",
         {"单选框固定地址", "选择框字母递进", "选择框延迟策略"},
         {"选择框延迟策略", "编辑框延迟毫秒"}},
        {"批量时间", [] { return std::make_unique<FileTimesPanel>(nullptr, [] { return std::string(); }); },
         ParamsOf<FileTimesPanel>(), {"创建时间", "修改时间", "访问时间", "读文件"},
         "创建时间=假|2000|1|1|||\n修改时间=真|2009|12||||\n访问时间=真|2001|1|2|3|4|5\n读文件=真\n",
         "0 -1,-1,-1,-1,-1,-1, ; 1 2009,12,-1,-1,-1,-1, ; 1 2001,1,2,3,4,5, ; ",
         {"选择框置修改", "选择框置访问", "选择框读文件"},
         {"选择框读文件"}},
        {"批量路径", [] { return std::make_unique<PathTransferPanel>(nullptr); }, ParamsOf<PathTransferPanel>(),
         {"移动到", "复制到", "仅生成目录", "创建Lnk", "创建Bat", "相对路径", "新目录"},
         "移动到=假\n复制到=假\n仅生成目录=假\n创建Lnk=真\n创建Bat=假\n相对路径=假\n新目录=/n/#主名\n",
         "2 \"/n/#主名\" 0 ", {"单选框创建Lnk"}},
        {"批量快捷方式", [] { return std::make_unique<ShortcutPropertiesPanel>(nullptr); },
         ParamsOf<ShortcutPropertiesPanel>(),
         {"修改目标路径", "欲替换", "替换成", "替换次数", "启用正则", "全局匹配", "忽略大小写", "修改描述信息", "描述信息",
          "修改图标位置", "图标位置", "图标索引", "修改附加参数", "附加参数", "修改窗口风格", "窗口风格"},
         "修改目标路径=真\n欲替换=/old\n替换成=/new\n替换次数=2\n启用正则=假\n全局匹配=真\n忽略大小写=真\n"
         "修改描述信息=假\n描述信息=d\n修改图标位置=真\n图标位置=/i.ico\n图标索引=4\n修改附加参数=真\n附加参数=-v\n"
         "修改窗口风格=真\n窗口风格=2\n",
         "1 \"/old\" \"/new\" 0 1 1 2 none \"/i.ico,4\" \"-v\" 7 ",
         {"选择框目标路径", "选择框全局匹配", "选择框忽略大小写", "选择框图标位置", "选择框附加参数", "选择框窗口风格"}},
        {"批量分割", [] { return std::make_unique<SplitPanel>(nullptr, nullptr, Typed); }, ParamsOf<SplitPanel>(),
         {"类型", "位置", "标记", "是否自定义路径", "自定义的路径", "删除源文件", "载入子列表"},
         "类型=3\n位置=100\n标记=--\n是否自定义路径=真\n自定义的路径=/o/*.txt\n删除源文件=真\n载入子列表=假\n",
         "3 100 \"--\" 1 \"/o/*.txt\" 1 0 ", {"选择框自定义路径", "选择框删除源文件"}},
    };
}

// Moves every control of the panel off its value as a user would, checking that
// each change asks for a preview unless the control is silent: the editor box sets
// the values only it sets, edit boxes get a digit more, each tick is clicked once
// while usable, each unchosen radio is clicked once (the last of a group stays
// chosen), and each combo box goes to its next item.
void ChangeEveryControl(TaskPanel& panel, const PanelCase& c) {
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    const auto expectPreview = [&](QWidget* control, int before) {
        const std::string name = control->objectName().toStdString();
        if (c.silent.contains(name)) {
            EXPECT_EQ(changed.count(), before) << c.section << " " << name;
        } else {
            EXPECT_GT(changed.count(), before) << c.section << " " << name;
        }
    };
    for (const char* name : c.dialogButtons) {
        // Set while the button is usable or not: its value is kept either way.
        auto* button = Find<QPushButton>(panel, name);
        const bool usable = button->isEnabled();
        button->setEnabled(true);
        button->click();
        button->setEnabled(usable);
    }
    for (QLineEdit* edit : panel.findChildren<QLineEdit*>()) {
        const int before = changed.count();
        edit->setText(edit->text() + "7");
        expectPreview(edit, before);
    }
    for (QPlainTextEdit* edit : panel.findChildren<QPlainTextEdit*>()) {
        const int before = changed.count();
        edit->setPlainText(edit->toPlainText() + "\n/line 7");
        expectPreview(edit, before);
    }
    std::set<QCheckBox*> clicked;
    const auto clickTicks = [&] {
        for (bool more = true; more;) {
            more = false;
            for (QCheckBox* box : panel.findChildren<QCheckBox*>()) {
                if (clicked.contains(box) || !box->isEnabled()) continue;
                const int before = changed.count();
                box->click();
                expectPreview(box, before);
                clicked.insert(box);
                more = true;
            }
        }
    };
    clickTicks();
    for (QRadioButton* radio : panel.findChildren<QRadioButton*>()) {
        if (radio->isChecked() || !radio->isEnabled()) continue;
        const int before = changed.count();
        radio->click();
        expectPreview(radio, before);
    }
    clickTicks();  // those a radio made usable
    for (QComboBox* combo : panel.findChildren<QComboBox*>()) {
        const int before = changed.count();
        combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
        expectPreview(combo, before);
    }
}

// Each named control: whether it is usable and whether it would be shown.
std::vector<std::string> ControlStates(TaskPanel& panel) {
    std::vector<std::string> states;
    for (QWidget* control : panel.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty()) continue;
        states.push_back(control->objectName().toStdString() + (control->isEnabled() ? " usable" : " unusable") +
                         (control->isVisibleTo(&panel) ? "" : " hidden"));
    }
    return states;
}

TEST(FileTaskPanels, EveryControlIsKeptUnderItsKeyAndHandedBackToARun) {
    testing::TestApplication();
    testing::TempDir dir;
    for (const PanelCase& c : PanelCases()) {
        SCOPED_TRACE(c.section);
        const std::unique_ptr<TaskPanel> first = c.make();
        const std::string designed = c.params(*first);
        ChangeEveryControl(*first, c);
        const std::string changed = c.params(*first);
        EXPECT_NE(changed, designed);
        const std::string saved = std::string(c.section) + ".ini";
        testing::Store(*first, dir / saved, c.section, true);
        EXPECT_EQ(testing::SectionKeys(dir.Read(saved), c.section), c.keys);

        const std::unique_ptr<TaskPanel> second = c.make();
        testing::Store(*second, dir / saved, c.section, false);
        EXPECT_EQ(c.params(*second), changed);
        EXPECT_EQ(ControlStates(*second), ControlStates(*first));
        const std::string again = std::string(c.section) + " again.ini";
        testing::Store(*second, dir / again, c.section, true);
        EXPECT_EQ(dir.Read(again), dir.Read(saved));

        // A section the file does not have leaves the design values.
        const std::unique_ptr<TaskPanel> fresh = c.make();
        testing::Store(*fresh, dir / saved, "另一节", false);
        EXPECT_EQ(c.params(*fresh), designed);
    }
}

// The ticked check boxes and chosen radios, in the panel's order.
std::vector<std::string> ChosenButtons(TaskPanel& panel) {
    std::vector<std::string> names;
    for (QAbstractButton* button : panel.findChildren<QAbstractButton*>()) {
        if (button->isCheckable() && button->isChecked()) names.push_back(button->objectName().toStdString());
    }
    return names;
}

// A section written before, by hand or by an earlier version, loads into the
// parameters its values say; saving it again writes the same values back.
TEST(FileTaskPanels, SettingsUsersAlreadyHaveGiveTheSameRun) {
    testing::TestApplication();
    testing::TempDir dir;
    for (const PanelCase& c : PanelCases()) {
        SCOPED_TRACE(c.section);
        const std::string name = std::string(c.section) + ".ini";
        dir.Write(name, "[" + std::string(c.section) + "]\n" + c.stored);
        const std::unique_ptr<TaskPanel> panel = c.make();
        testing::Store(*panel, dir / name, c.section, false);
        EXPECT_EQ(c.params(*panel), c.storedParams);
        EXPECT_EQ(ChosenButtons(*panel), c.storedChosen);
        const std::string again = std::string(c.section) + " again.ini";
        testing::Store(*panel, dir / again, c.section, true);
        const IniDocument before = IniDocument::Parse(dir.Read(name));
        const IniDocument after = IniDocument::Parse(dir.Read(again));
        for (const std::string& key : c.keys) EXPECT_EQ(after.Get(c.section, key), before.Get(c.section, key)) << key;
    }
}

}  // namespace
}  // namespace varnel
