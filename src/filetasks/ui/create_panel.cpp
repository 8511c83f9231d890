#include "filetasks/ui/create_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "naming/name_parts.h"
#include "naming/ui/panel_controls.h"
#include "platform/xdg_paths.h"
#include "utilities/path_routines.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kSourcePrompt =
    "【此列表】允许有效路径和纯粹字串的交叉，每行一个。\r\n"
    "有效路径将复制到【彼列表】的每个目录下，而纯粹字串则在【彼列表】的每个目录下创建空字节文件或文件夹（依设置而定）：";
constexpr const char* kTargetPrompt =
    "【彼列表】给出的是一组文件夹路径（可以不存在，这将自动创建，但必须是以 / 开头的完整路径，"
    "如 /home/用户/文档），用于在其下复制或创建【此列表】中的路径或字串：";
constexpr const char* kAbsolutePrompt =
    "绝对路径即以 / 开头的完整路径，如 /home/用户/文档/新建.txt。每行一个。\r\n"
    "绝对路径列表可以是先前使用Varnel更名导出的，也可以是您使用其他工具导出的...现在需要做的就是将它们粘贴在这里：";
constexpr std::string_view kStoredLineBreak = ";;;";

}  // namespace

CreatePanel::CreatePanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText,
                         PickFolderFunction pickFolder)
    : TypedTaskPanel(parent), m_askText(std::move(askText)), m_pickFolder(std::move(pickFolder)) {
    setObjectName("CreatePanel");
    if (!m_pickFolder) {
        m_pickFolder = [](const std::string& prompt, const std::string& start) {
            return PickFolder(prompt, false, start, true, true);
        };
    }
    m_files = Named(new QRadioButton(Utf8("创建文件"), this), "单选框创建文件");
    m_folders = Named(new QRadioButton(Utf8("创建目录"), this), "单选框创建目录");
    m_thisToThat = Named(new QRadioButton(Utf8("由此及彼"), this), "单选框由此及彼");
    m_absolute = Named(new QRadioButton(Utf8("绝对路径"), this), "单选框绝对路径");
    m_dynamic = Named(new QRadioButton(Utf8("动态路径"), this), "单选框动态路径");
    m_kinds.addButton(m_files);
    m_kinds.addButton(m_folders);
    m_methods.addButton(m_thisToThat);
    m_methods.addButton(m_absolute);
    m_methods.addButton(m_dynamic);
    m_files->setChecked(true);
    m_thisToThat->setChecked(true);
    m_sourceList = Named(new QPushButton(Utf8("输入【此】列表..."), this), "按钮此列表");
    m_targetList = Named(new QPushButton(Utf8("输入【彼】目录列表..."), this), "按钮彼列表");
    m_absolutePaths = Named(new QPlainTextEdit(this), "编辑框绝对路径");
    m_editAbsolute = Named(new QPushButton(Utf8("..."), this), "按钮编辑绝对路径");
    m_template = MakeMetaBox(this, "编辑框动态路径", metaMenu);
    m_template->setText(QString::fromStdString(WithTrailingSlash(HomeFolder()) + "新建_#递进"));
    m_pickTemplate = Named(new QPushButton(Utf8("..."), this), "按钮选择路径");
    m_limit = Named(new QLineEdit(Utf8("50"), this), "编辑框动态上限");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    grid->addWidget(m_files, 0, 0);
    grid->addWidget(m_folders, 0, 1);
    grid->addWidget(m_thisToThat, 1, 0);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_sourceList);
    lists->addWidget(new QLabel(Utf8("＞"), this));
    lists->addWidget(m_targetList);
    lists->addStretch(1);
    grid->addLayout(lists, 1, 1, 1, 3);
    grid->addWidget(m_absolute, 2, 0);
    grid->addWidget(m_absolutePaths, 2, 1, 1, 2);
    grid->addWidget(m_editAbsolute, 2, 3);
    grid->addWidget(m_dynamic, 3, 0);
    grid->addWidget(m_template, 3, 1, 1, 2);
    grid->addWidget(m_pickTemplate, 3, 3);
    grid->addWidget(new QLabel(Utf8("动态创建上限："), this), 4, 0);
    grid->addWidget(m_limit, 4, 1);
    grid->setColumnStretch(2, 1);
    m_absolutePaths->setMaximumHeight(60);

    const auto lines = [](std::vector<std::string> CreateTaskParams::*field) {
        return [field](CreateTaskParams& params, const std::string& text) { params.*field = SplitCreateList(text); };
    };
    Bindings()
        .Check(m_files, "创建文件", &CreateTaskParams::createFile)
        .Check(m_folders, "创建目录", nullptr)
        // The methods are kept as the number of the chosen one, counted from 0.
        .RadioGroup({m_thisToThat, m_absolute, m_dynamic}, "创建方式",
                    [](CreateTaskParams& p, int chosen) { p.method = static_cast<CreateMethod>(std::max(0, chosen)); },
                    0)
        .AlsoOnChange([this] { UpdateCreateControls(); })
        // The editor box sets the lists; it asks for the preview.
        .HeldText(m_sourceText, "此列表", lines(&CreateTaskParams::sourceItems))
        .HeldText(m_targetText, "彼列表", lines(&CreateTaskParams::targetFolders))
        .MultiLine(m_absolutePaths, "绝对路径", lines(&CreateTaskParams::absolutePaths))
        .Text(m_template, "动态路径", &CreateTaskParams::dynamicTemplate)
        .Text(m_limit, "动态上限", IntegerField(&CreateTaskParams::dynamicLimit, INT32_MIN, INT32_MAX))
        .AfterLoad([this] {
            // The lists keep their line breaks as ";;;".
            for (std::string* text : {&m_sourceText, &m_targetText}) {
                *text = ReplaceOccurrences(*text, kStoredLineBreak, "\r\n");
            }
            UpdateCreateControls();
        });
    const auto editList = [this](std::string& text, const char* prompt) {
        EditTextInDialog(m_askText, this, prompt, text, [this, &text](const std::string& confirmed) {
            text = confirmed;
            emit parametersChanged();
        });
    };
    connect(m_sourceList, &QPushButton::clicked, this, [this, editList] { editList(m_sourceText, kSourcePrompt); });
    connect(m_targetList, &QPushButton::clicked, this, [this, editList] { editList(m_targetText, kTargetPrompt); });
    connect(m_editAbsolute, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, kAbsolutePrompt, m_absolutePaths->toPlainText().toStdString(),
                         [this](const std::string& text) { m_absolutePaths->setPlainText(QString::fromStdString(text)); });
    });
    connect(m_pickTemplate, &QPushButton::clicked, this, [this] {
        const std::string chosen = m_pickFolder("选择一个文件夹作为模板，然后插入元符等建构动态路径：",
                                                m_template->text().toStdString());
        if (!chosen.empty()) m_template->setText(QString::fromStdString(chosen));
    });

    RegisterTooltip(m_thisToThat, "从【这个】列表到【那个】列表的同步创建或复制");
    RegisterTooltip(m_absolute, "根据一份拟好的、以 / 开头的完整路径清单，创建零字节文件或文件夹（依设置而定）");
    RegisterTooltip(m_dynamic,
                    "应用元符如 [随机数字] 等和递进标识符 * 建构动态路径，创建零字节文件或文件夹（依设置而定）");
    RegisterTooltip(m_limit, "动态路径创建的上限。这个很重要，可以按需要而定，即你需要创建多少个文件或文件夹。");
    UpdateCreateControls();
}

void CreatePanel::UpdateCreateControls() {
    const bool lists = m_thisToThat->isChecked();
    const bool absolute = m_absolute->isChecked();
    const bool dynamic = m_dynamic->isChecked();
    m_sourceList->setEnabled(lists);
    m_targetList->setEnabled(lists);
    m_absolutePaths->setEnabled(absolute);
    m_editAbsolute->setEnabled(absolute);
    m_template->setEnabled(dynamic);
    m_pickTemplate->setEnabled(dynamic);
    m_limit->setEnabled(dynamic);
}

CreateTaskParams CreatePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<CreateTaskParams> CreatePanel::MakeParams(RunMode mode) {
    CreateTaskParams params = CurrentParameters();
    // An auto-preview covers only its first rows: it never asks.
    if (params.method == CreateMethod::DynamicPaths && mode != RunMode::AutoPreview &&
        params.dynamicLimit > params.dynamicCap) {
        if (ShowMessageBox(DynamicLimitQuestion(params.dynamicLimit), kBoxYesNo | kBoxIconQuestion) != kAnswerYes) {
            return std::nullopt;
        }
        params.dynamicCap = params.dynamicLimit;
    }
    return params;
}

}  // namespace varnel
