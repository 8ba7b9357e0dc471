// The province name generator learning its sample names at start-up, from a
// names file of 1 MB: plausible names (syllables put together), and the
// same size of random letters, which gives far more distinct keys. Learning
// runs before the main window appears, so its time is the editor's start.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

#include "Harness.h"
#include "editor/ProvinceNameGenerator.h"

namespace {

using namespace thorn::bench;

constexpr size_t kFileBytes = 1'000'000;

// Names of two to four syllables (a consonant or two, a vowel, perhaps a
// closing consonant), one a line, up to kFileBytes.
std::string PlausibleNames() {
    const char* onsets[] = {"b", "c", "d", "f", "g", "h", "k", "l", "m", "n", "p", "r", "s", "t", "v",
                            "th", "br", "dr", "gr", "st"};
    const char* vowels[] = {"a", "e", "i", "o", "u", "y"};
    const char* codas[] = {"", "", "n", "r", "l", "s", "th"};
    std::mt19937 random(7);
    const auto pick = [&random](const auto& from) {
        return from[std::uniform_int_distribution<size_t>(0, std::size(from) - 1)(random)];
    };
    std::uniform_int_distribution<int> count(2, 4);
    std::string text;
    while (text.size() < kFileBytes) {
        std::string name;
        for (int i = count(random); i > 0; --i) name += std::string(pick(onsets)) + pick(vowels) + pick(codas);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        text += name + "\r\n";
    }
    text.resize(kFileBytes);
    return text;
}

// Lines of 8 to 16 random letters and digits.
std::string RandomLetters() {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> letter('0', 'z');
    std::uniform_int_distribution<int> length(8, 16);
    std::string text;
    while (text.size() < kFileBytes) {
        for (int i = length(random); i > 0; --i) text += static_cast<char>(letter(random));
        text += '\n';
    }
    text.resize(kFileBytes);
    return text;
}

// A folder of this run's, removed at its end.
const std::filesystem::path& ScratchFolder() {
    struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("thorn-bench-names-" + std::to_string(getpid()));
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

// A start folder whose "data/names.txt" holds the text.
std::filesystem::path StartFolderWith(const std::string& name, const std::string& text) {
    const std::filesystem::path folder = ScratchFolder() / name;
    std::filesystem::create_directories(folder / "data");
    std::ofstream(folder / "data" / "names.txt", std::ios::binary) << text;
    return folder;
}

void BM_Learn(benchmark::State& state, const std::filesystem::path& folder) {
    size_t keys = 0;
    for (auto _ : state) {
        thorn::ProvinceNameTables tables;
        if (thorn::ProvinceNameGenerator(tables, folder) != 1) throw std::runtime_error("names not read");
        keys = tables.NameKeys.size();
    }
    state.counters["keys"] = static_cast<double>(keys);
}

}  // namespace

int main(int argc, char** argv) {
    const std::pair<const char*, std::string> files[] = {{"plausible names", PlausibleNames()},
                                                         {"random letters", RandomLetters()}};
    for (const auto& [name, text] : files) {
        const std::string label = std::string("learn 1 MB of ") + name;
        benchmark::RegisterBenchmark(label.c_str(), [folder = StartFolderWith(name, text)](benchmark::State& s) {
            BM_Learn(s, folder);
        })->Unit(benchmark::kMillisecond);
        Row row;
        row.label = label;
        row.ours = {label};
        // The editor's start should not wait for its sample names; random
        // letters are a hostile file's worst, with a hundred times the keys.
        if (std::string_view(name) == "plausible names")
            row.target = AtMost(500);
        else
            row.note = "the worst a file of this size gives";
        AddRow(row);
    }
    return Main(argc, argv);
}
