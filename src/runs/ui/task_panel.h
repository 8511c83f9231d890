// The panel of one batch task, docked in the batch task area while its task is
// chosen: it keeps its controls in its INI section, hands its parameters to a run
// as a plain struct, and asks for an auto-preview when a parameter changes.
// Every task's panel derives from TypedTaskPanel<its parameter struct>. UI thread only.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "settings/settings_store.h"
#include "settings/ui/panel_bindings.h"
#include "runs/run_context.h"
#include "runs/task_table.h"

namespace varnel {

class TaskPanel : public QWidget {
    Q_OBJECT
public:
    explicit TaskPanel(QWidget* parent = nullptr);

    // Loads (save false) or saves the controls; the caller has selected the
    // panel's section.
    virtual void LoadOrSaveSettings(SettingsStore& store, bool save) = 0;
    // At the start of a run: the parameter struct for the task's runner, copied from
    // the controls now (TypedTaskPanel makes it). Nothing refuses the run.
    virtual std::optional<TaskParameters> CollectParameters(RunMode mode) = 0;

    // The toolbar flags (see ParsePanelFlags); the area sets the designed ones when
    // it makes the panel. A panel may change them while shown.
    const std::string& Flags() const { return m_flags; }
    void SetFlags(std::string flags);

signals:
    // A parameter control changed: the area asks for an auto-preview.
    void parametersChanged();
    void flagsChanged();

private:
    std::string m_flags;
};

// The panel of a task whose runner takes a `Params`.
template <typename Params>
class TypedTaskPanel : public TaskPanel {
public:
    using TaskPanel::TaskPanel;

    // At the start of a run: the struct the task's runner gets, copied from the
    // controls now. Nothing refuses the run; the panel has told the user why,
    // unless the run is an auto-preview.
    virtual std::optional<Params> MakeParams(RunMode mode) = 0;

    // The bound controls; a panel with controls of its own kind adds those.
    void LoadOrSaveSettings(SettingsStore& store, bool save) override { m_bindings.LoadOrSave(store, save); }

    std::optional<TaskParameters> CollectParameters(RunMode mode) final {
        std::optional<Params> params = MakeParams(mode);
        if (!params) return std::nullopt;
        return TaskParameters::Of(std::move(*params));
    }

protected:
    // The panel's controls, each declared once: its settings, its parameters and
    // the auto-preview on a change all come from these.
    PanelBindings<Params>& Bindings() { return m_bindings; }
    const PanelBindings<Params>& Bindings() const { return m_bindings; }

private:
    PanelBindings<Params> m_bindings{[this] { emit parametersChanged(); }};
};

// Makes a task's panel with the given parent.
using TaskPanelFactory = std::function<TaskPanel*(QWidget* parent)>;
template <typename Params>
using TypedTaskPanelFactory = std::function<TypedTaskPanel<Params>*(QWidget* parent)>;

}  // namespace varnel
