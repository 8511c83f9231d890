#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/ui/keyboard.h"
#include "utilities/ui/list_columns.h"
#include "utilities/ui/tooltips.h"

namespace varnel {
namespace {

TEST(Tooltips, LineBreaksShowAndMarkupIsNotInterpreted) {
    testing::TestApplication();
    QWidget control;
    RegisterTooltip(&control, "第一行\r\n第二行");
    EXPECT_EQ(control.toolTip(), QString::fromUtf8("第一行\n第二行"));
    RegisterTooltip(&control, "<b>粗</b>\r\n a & b");
    EXPECT_EQ(control.toolTip(),
              QString::fromUtf8("<p style='white-space:pre'>&lt;b&gt;粗&lt;/b&gt;<br> a &amp; b</p>"));
    RegisterTooltip(nullptr, "ignored");
}

TEST(Keyboard, ModifiersOfTheEventArePassedAlong) {
    const ModifierKeys keys = ModifierKeysOf(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(IsKeyDown(keys, kKeyControl));
    EXPECT_TRUE(IsKeyDown(keys, kKeyShift));
    EXPECT_FALSE(IsKeyDown(keys, kKeyAlt));
    EXPECT_TRUE(IsKeyDown(ModifierKeysOf(Qt::AltModifier), kKeyAlt));
}

template <class View>
void CheckFit() {
    QStandardItemModel model(3, 3);
    model.setHorizontalHeaderLabels({"名称", "大小", "a"});
    model.setItem(0, 0, new QStandardItem("a very long file name that is wider.txt"));
    model.setItem(1, 1, new QStandardItem("12"));
    View view;
    view.setModel(&model);
    QHeaderView* header = nullptr;
    if constexpr (std::is_same_v<View, QTreeView>) {
        header = view.header();
    } else {
        header = view.horizontalHeader();
    }
    header->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c) header->resizeSection(c, 300);
    FitListColumnsToText(&view);
    // Longer than its title: sized to its contents, wider than the title needs.
    EXPECT_GT(header->sectionSize(0), header->sectionSizeHint(0));
    EXPECT_LT(header->sectionSize(0), 300);
    // No cell longer than the title: sized to the title.
    EXPECT_EQ(header->sectionSize(1), header->sectionSizeHint(1));
    EXPECT_EQ(header->sectionSize(2), header->sectionSizeHint(2));
}

TEST(ListColumns, ColumnsFitTheirTextOrTheirTitle) {
    testing::TestApplication();
    CheckFit<QTreeView>();
    CheckFit<QTableView>();

    QStandardItemModel empty;
    QTreeView view;
    view.setModel(&empty);
    FitListColumnsToText(&view);  // no columns: nothing happens
    FitListColumnsToText(nullptr);
}

// Drives the next folder picker: picks `folder`, or cancels when it is empty.
void AnswerFolderPicker(const QString& folder, QString* startedIn) {
    QTimer::singleShot(0, [folder, startedIn] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            AnswerFolderPicker(folder, startedIn);
            return;
        }
        *startedIn = dialog->directory().absolutePath();
        if (folder.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(folder);
        dialog->findChild<QLineEdit*>()->setText(folder);
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST(FolderPicker, ReturnsTheFolderExactlyAsChosenOrEmpty) {
    testing::TestApplication();
    testing::TempDir dir;
    const std::string start = dir / "起点";
    const std::string chosen = dir / " 两端有空格 ";
    std::filesystem::create_directories(start);
    std::filesystem::create_directories(chosen);

    QString startedIn;
    AnswerFolderPicker(QString::fromStdString(chosen), &startedIn);
    EXPECT_EQ(PickFolder("请选择一个文件夹", false, start), chosen);
    EXPECT_EQ(startedIn, QString::fromStdString(start));

    AnswerFolderPicker(QString(), &startedIn);
    EXPECT_EQ(PickFolder("请选择一个文件夹", false, start), "");
}

}  // namespace
}  // namespace varnel
