#include "id3/ui/id3_task_registrations.h"

#include <QItemSelectionModel>
#include <QPointer>

#include "filelist/ui/file_list_panel.h"
#include "id3/tag_convert.h"
#include "id3/tag_copy.h"
#include "id3/tag_to_name.h"
#include "id3/tag_write.h"
#include "id3/ui/id3_convert_panels.h"
#include "id3/ui/id3_read_panel.h"
#include "id3/ui/id3_write_panel.h"
#include "runs/ui/batch_task_area.h"

namespace varnel {

std::function<void()> RegisterId3Tasks(BatchTaskArea& area, std::function<void()> showAttributesColumn) {
    area.RegisterTask<TagToNameParams>(
        kTaskId3Read,
        [&area, showAttributesColumn](QWidget* parent) {
            return new Id3ReadPanel(&area.MetaSymbols(), showAttributesColumn, parent);
        },
        [](RunContext& run, RunRows& rows, const TagToNameParams& params) { RunTagToNameTask(run, rows, params); });
    const CurrentRowPath currentPath = [&area]() -> std::optional<std::string> {
        FileListPanel& list = area.List();
        const int row = list.View().currentIndex().row();
        if (row < 0 || static_cast<std::size_t>(row) >= list.Model().Store().RowCount()) return std::nullopt;
        return list.Model().Store().FullPath(static_cast<std::size_t>(row));
    };
    area.RegisterTask<TagEditParams>(
        kTaskId3Write,
        [&area, currentPath](QWidget* parent) { return new Id3WritePanel(&area.MetaSymbols(), currentPath, parent); },
        [](RunContext& run, RunRows& rows, const TagEditParams& params) { RunTagWriteTask(run, rows, params); });
    area.RegisterTask<TagConvertParams>(
        kTaskId3Convert, [](QWidget* parent) { return new Id3ConvertPanel(parent); },
        [](RunContext& run, RunRows& rows, const TagConvertParams& params) { RunTagConvertTask(run, rows, params); });
    area.RegisterTask<TagCopyMode>(
        kTaskId3Copy, [](QWidget* parent) { return new Id3CopyPanel(parent); },
        [](RunContext& run, RunRows& rows, const TagCopyMode& mode) { RunTagCopyTask(run, rows, mode); });
    // The toolbar's 撤销 and the undo manager put changed tags back through this.
    RegisterTagUndoKind(area.Globals().gUndoFamilies);

    const QPointer<BatchTaskArea> guarded(&area);
    std::function<void()> loadEditor = [guarded] {
        if (guarded.isNull()) return;
        if (auto* panel = qobject_cast<Id3WritePanel*>(guarded->LoadedPanel(kTaskId3Write))) {
            panel->LoadId3EditorFromList();
        }
    };
    return loadEditor;
}

}  // namespace varnel
