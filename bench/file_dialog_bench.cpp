// The open dialog shown on a folder of 10,000 files, from Execute to its
// first painted frame (the folder read, sorted and filtered, the rows in
// sight painted), then cancelled; beside the same dialog on a folder of 10
// files, and beside the bare reading and sorting of the 10,000 names with
// std::filesystem, which any listing has to do. The dialog reads each row's
// size and date only when the row comes into sight, so it should cost little
// more than that bare listing, and stay far below a visible wait: the table
// holds it to 100 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/FileListView.h"
#include "gui/FolderListing.h"
#include "gui/headless/HeadlessHost.h"

namespace {

namespace fs = std::filesystem;

// A folder of files named as a designer's folder of pictures and missions
// might be, made once per size and removed at exit.
struct Folder {
    explicit Folder(int files) {
        path = fs::temp_directory_path() / ("thorn-bench-folder-" + std::to_string(getpid()) + "-" + std::to_string(files));
        fs::create_directories(path);
        const char* extensions[] = {".bmp", ".pw", ".jpg", ".txt"};
        for (int i = 0; i < files; ++i) {
            std::ofstream(path / ("World " + std::to_string((i * 7919) % files) + extensions[i % 4])) << "x";
        }
        for (int i = 0; i < files / 100; ++i) fs::create_directory(path / ("Folder " + std::to_string(i)));
    }
    ~Folder() {
        std::error_code error;
        fs::remove_all(path, error);
    }
    fs::path path;
};

const Folder& FolderOf(int files) {
    static Folder small(10), large(10000);
    return files == 10 ? small : large;
}

void OpenToFirstFrame(benchmark::State& state) {
    const Folder& folder = FolderOf(static_cast<int>(state.range(0)));
    thorn::HeadlessApplication session;
    TOpenDialog dialog;
    dialog.SetInitialDir(folder.path.string());
    dialog.SetFilter("All (*.*)|*.*");
    int rows = 0;
    for (auto _ : state) {
        thorn::DialogScript script;
        script.act = [&](TCustomForm& form) {
            form.PaintPending();
            rows = static_cast<thorn::FileDialogForm&>(form).GetList()->GetCount();
        };
        script.result = mrCancel;
        session.Host().ScriptDialog(std::move(script));
        dialog.Execute();
    }
    state.counters["rows"] = rows;
}

void BareListing(benchmark::State& state) {
    const Folder& folder = FolderOf(static_cast<int>(state.range(0)));
    size_t count = 0;
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end(), thorn::FolderNameLess);
        count = names.size();
        benchmark::DoNotOptimize(names.data());
    }
    state.counters["rows"] = static_cast<double>(count);
}

void Register() {
    using thorn::bench::Row;
    benchmark::RegisterBenchmark("open dialog to first frame", OpenToFirstFrame)
        ->Arg(10)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("directory_iterator and sort", BareListing)->Arg(10000)->Unit(benchmark::kMillisecond);

    Row frame;
    frame.label = "open dialog on 10,000 files, to its first frame";
    frame.ours = {"open dialog to first frame/10000"};
    frame.target = thorn::bench::Below(100);
    thorn::bench::AddRow(frame);
    Row bare;
    bare.label = "the same against reading and sorting the names alone";
    bare.ours = {"open dialog to first frame/10000"};
    bare.peerName = "directory_iterator";
    bare.peer = {"directory_iterator and sort/10000"};
    thorn::bench::AddRow(bare);
    Row small;
    small.label = "open dialog on 10,000 files against 10";
    small.ours = {"open dialog to first frame/10000"};
    small.peerName = "10 files";
    small.peer = {"open dialog to first frame/10"};
    thorn::bench::AddRow(small);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
