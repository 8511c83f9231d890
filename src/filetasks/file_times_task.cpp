#include "filetasks/file_times_task.h"

#include <charconv>
#include <climits>
#include <string>

#include <sys/stat.h>

#include "platform/file_io.h"
#include "platform/file_times.h"
#include "platform/open_folder.h"
#include "runs/rename_step.h"
#include "utilities/local_time.h"
#include "utilities/ole_date.h"

namespace varnel {

namespace {

constexpr const char* kGroupLabels[kTimeGroupCount] = {"创建时间 ", "修改时间 ", "访问时间 "};
constexpr ListColumn kGroupColumns[kTimeGroupCount] = {ListColumn::Created, ListColumn::Modified,
                                                       ListColumn::Accessed};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string FormatTime(const timespec& time, const TimeFormat& format) {
    const auto ole = UnixTimeToLocalOleDate(time.tv_sec);
    return ole ? FormatDateTimeByRule(*ole, format) : std::string();
}

// The row's file opened for its times through its folder held open, closed on
// every way out.
struct TimesHandle {
    TimesHandle(OpenFolder& folders, const std::string& path, PosixApi& os) : fd(Open(folders, path, os)), os(os) {}
    ~TimesHandle() { CloseFileHandle(fd, os); }
    TimesHandle(const TimesHandle&) = delete;
    TimesHandle& operator=(const TimesHandle&) = delete;
    int fd;
    PosixApi& os;

private:
    static int Open(OpenFolder& folders, const std::string& path, PosixApi& os) {
        const std::size_t slash = path.rfind('/');
        const int folderFd = slash == std::string::npos ? -1 : folders.Get(path.substr(0, slash + 1));
        if (folderFd < 0) return OpenFileForTimes(path, os);
        return OpenFileForTimesAt(folderFd, path.substr(slash + 1), os);
    }
};

timespec Omitted() { return {0, UTIME_OMIT}; }

}  // namespace

int TimeUnitFromText(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return kKeepTimeUnit;
    if (text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return INT_MIN;
    if (error != std::errc{}) return INT_MIN;
    // A fraction is cut off; anything else after the number makes it no number.
    std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (!rest.empty()) {
        if (rest.front() != '.') return INT_MIN;
        for (const char c : rest.substr(1)) {
            if (c < '0' || c > '9') return INT_MIN;
        }
    }
    if (value < INT_MIN + 1 || value > INT_MAX) return INT_MIN;
    return static_cast<int>(value);
}

std::optional<timespec> ComposeGroupTime(const TimeGroupParams& group, const std::optional<timespec>& current) {
    std::optional<CivilTime> base;
    if (current) {
        if (const auto ole = UnixTimeToLocalOleDate(current->tv_sec)) base = OleDateToCivil(*ole, CivilRounding::Second);
    }
    int* parts[6] = {};
    CivilTime made = base.value_or(CivilTime{});
    parts[0] = &made.year;
    parts[1] = &made.month;
    parts[2] = &made.day;
    parts[3] = &made.hour;
    parts[4] = &made.minute;
    parts[5] = &made.second;
    for (std::size_t i = 0; i < 6; ++i) {
        if (group.units[i] == kKeepTimeUnit) {
            if (!base) return std::nullopt;
        } else {
            *parts[i] = group.units[i];
        }
    }
    made.millisecond = 0;
    const auto ole = CivilToOleDate(made);
    if (!ole) return std::nullopt;
    const auto seconds = LocalOleDateToUnixTime(*ole);
    if (!seconds) return std::nullopt;
    const bool keepsSecond = group.units[5] == kKeepTimeUnit && base.has_value();
    return timespec{static_cast<time_t>(*seconds), keepsSecond ? current->tv_nsec : 0};
}

namespace {

// A group whose six units are all given makes the same time for every file: worked
// out once per run, with the text the list shows of it.
struct FixedTime {
    std::optional<timespec> time;
    std::string shown;
};
using FixedTimes = std::array<std::optional<FixedTime>, kTimeGroupCount>;

FixedTimes FixedTimesOf(const FileTimesParams& params) {
    FixedTimes fixed;
    for (std::size_t g = 0; g < kTimeGroupCount; ++g) {
        const TimeGroupParams& group = params.groups[g];
        if (!group.setTime) continue;
        bool allGiven = true;
        for (const int unit : group.units) allGiven = allGiven && unit != kKeepTimeUnit;
        if (!allGiven) continue;
        FixedTime& made = fixed[g].emplace();
        made.time = ComposeGroupTime(group, std::nullopt);
        if (made.time) made.shown = FormatTime(*made.time, params.listTimeFormat);
    }
    return fixed;
}

void ChangeTimes(RunContext& run, RunRows& rows, const PropertyRow& row, const FileTimesParams& params,
                 const FixedTimes& fixed, OpenFolder& folders, PosixApi& os) {
    // A path that cannot be reached, or a folder, stays as it is, unmarked.
    if (rows.IsFolder(row.index)) return;
    TimesHandle handle(folders, row.path, os);
    if (handle.fd == kInvalidFileHandle) return;
    const auto now = ReadFileTimestamps(handle.fd, os);
    // So is a file marked read-only or that this user may not write: its times
    // are part of what the mark keeps.
    if (!now || !CheckWritableOpen(handle.fd, row.path, now->mode, os) || now->isFolder) return;

    const std::optional<timespec> currents[kTimeGroupCount] = {now->created, now->modified, now->accessed};
    std::array<std::optional<timespec>, kTimeGroupCount> made;
    for (std::size_t g = 0; g < kTimeGroupCount; ++g) {
        if (!params.groups[g].setTime) continue;
        made[g] = fixed[g] ? fixed[g]->time : ComposeGroupTime(params.groups[g], currents[g]);
        if (!made[g]) return FailPropertyRow(run, rows, row, kInvalidDateText);
    }

    if (!run.IsExecute()) {
        std::string text = row.transferText;
        for (std::size_t g = 0; g < kTimeGroupCount; ++g) {
            if (!made[g]) continue;
            if (!text.empty()) text += '|';
            text += kGroupLabels[g];
            text += fixed[g] ? fixed[g]->shown : FormatTime(*made[g], params.listTimeFormat);
        }
        rows.SetCell(row.index, ListColumn::Preview, text);
        return;
    }

    const auto& modified = made[static_cast<std::size_t>(TimeGroup::Modified)];
    const auto& accessed = made[static_cast<std::size_t>(TimeGroup::Accessed)];
    const bool creationAsked = made[static_cast<std::size_t>(TimeGroup::Created)].has_value();
    if (!modified && !accessed) {
        // Only the creation time was asked for, and that cannot be done here.
        if (creationAsked) FailPropertyRow(run, rows, row, kCreationTimeNotSettable);
        return;
    }
    if (!WriteFileTimestamps(handle.fd, accessed.value_or(Omitted()), modified.value_or(Omitted()), os)) {
        // A time the file system clamped may have been stored: the old ones go back.
        (void)WriteFileTimestamps(handle.fd, now->accessed, now->modified, os);
        return FailPropertyRow(run, rows, row, "无法设置文件时间");
    }
    if (row.transfer) {
        RefreshTransferIdentity(run.Record(), row.path, os);
    } else {
        // The object given its times, as it is now: undo writes the old times back
        // only while it is still that, unchanged.
        run.Record().timeChanges.push_back(FileTimesEntry{row.path, now->created, now->modified, now->accessed,
                                                          ReadOpenIdentity(handle.fd, os).value_or(PathIdentity{})});
    }
    for (const TimeGroup which : {TimeGroup::Modified, TimeGroup::Accessed}) {
        const auto g = static_cast<std::size_t>(which);
        if (!made[g]) continue;
        rows.SetCell(row.index, kGroupColumns[g], fixed[g] ? fixed[g]->shown : FormatTime(*made[g], params.listTimeFormat));
    }
    rows.SetCell(row.index, ListColumn::Preview,
                 creationAsked ? std::string(kStatusDone) + " " + kCreationTimeNotSettable : std::string(kStatusDone));
}

}  // namespace

void ChangeTimesOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, const FileTimesParams& params,
                       PosixApi& os) {
    OpenFolder folders(os);
    ChangeTimes(run, rows, row, params, FixedTimesOf(params), folders, os);
}

void RunFileTimesTask(RunContext& run, RunRows& rows, const FileTimesParams& params, PosixApi& os) {
    const FixedTimes fixed = FixedTimesOf(params);
    OpenFolder folders(os);
    ForEachPropertyRow(
        run, rows, [&](const PropertyRow& row) { ChangeTimes(run, rows, row, params, fixed, folders, os); }, os);
}

}  // namespace varnel
