// The line tools on the 100,000-line text of about 10 MB: each tool's pure function over the whole
// text (bytes per second are the input's size), sorting in the file's order and shuffled, and the
// sort and duplicate removal as commands on a view (reading, the one replacement with its undo
// record, and the selection; the view's layout and painting are not included).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/engine_corpus.h"
#include "bench/view_bench_support.h"
#include "edit/font_fixed.h"
#include "edit/sci_messages.h"
#include "edit/view.h"
#include "tools/line_tools.h"
#include "tools/line_tools_run.h"

namespace {

using lumen::EolStyle;
using lumen::LineTool;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (lumen::LineBreak b = lumen::NextBreak(text, 0); b.length; b = lumen::NextBreak(text, from)) {
        lines.push_back(text.substr(from, b.at - from));
        from = b.at + b.length;
    }
    lines.push_back(text.substr(from));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& line : lines)
        s += (s.empty() ? "" : "\r\n") + line;
    return s;
}

// The large text's lines in a fixed random order.
const std::string& Shuffled() {
    static const std::string text = [] {
        std::vector<std::string> lines = Lines(bench::LargeText());
        std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
        return Joined(lines);
    }();
    return text;
}

// The large text with work for the transforms: indentation by spaces or tabs, a tab inside,
// trailing whitespace, and a blank line every tenth line.
const std::string& Untidy() {
    static const std::string text = [] {
        std::vector<std::string> lines = Lines(bench::LargeText());
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string& line = lines[i];
            if (i % 10 == 9) {
                line = " \t ";
                continue;
            }
            line.insert(std::min<size_t>(line.size(), 40), 1, '\t');
            line = (i % 2 ? "\t\t" : "        ") + line + "  \t";
        }
        return Joined(lines);
    }();
    return text;
}

// Two megabytes of letters between stray bytes: a valid run of one character at a time.
const std::string& StrayBytes() {
    static const std::string text = [] {
        std::string s;
        while (s.size() < (2u << 20))
            s += "a\xff";
        return s;
    }();
    return text;
}

void Run(benchmark::State& state, const std::string& (*corpus)(), LineTool tool) {
    const std::string& text = corpus();
    int64_t count = 0;
    for (auto _ : state) {
        switch (tool) {
            case LineTool::MoveUp:
            case LineTool::MoveDown:
                count = lumen::MoveLinesText(text, tool == LineTool::MoveUp ? -1 : 1).shift;
                break;
            case LineTool::JoinLines:
                count = lumen::JoinLinesText(text).joinPoint;
                break;
            case LineTool::SortAscending:
            case LineTool::SortDescending:
            case LineTool::RemoveDuplicates: {
                const lumen::SortMode mode = tool == LineTool::SortAscending ? lumen::SortMode::Ascending
                                             : tool == LineTool::SortDescending
                                                 ? lumen::SortMode::Descending
                                                 : lumen::SortMode::RemoveDuplicates;
                count = lumen::SortLinesText(text, EolStyle::Crlf, mode).count;
                break;
            }
            case LineTool::UpperCase:
            case LineTool::LowerCase:
                count = static_cast<int64_t>(lumen::ChangeCaseText(text, tool == LineTool::UpperCase).size());
                break;
            default: {
                const lumen::TransformMode mode =
                    tool == LineTool::TrimTrailing   ? lumen::TransformMode::TrimTrailing
                    : tool == LineTool::TabsToSpaces ? lumen::TransformMode::TabsToSpaces
                    : tool == LineTool::IndentToTabs ? lumen::TransformMode::IndentToTabs
                                                     : lumen::TransformMode::RemoveBlank;
                count = lumen::TransformLinesText(text, EolStyle::Crlf, mode, 4).count;
                break;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    state.counters["count"] = static_cast<double>(count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(Run, MoveUp, bench::LargeText, LineTool::MoveUp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, MoveDown, bench::LargeText, LineTool::MoveDown)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, Join, bench::LargeText, LineTool::JoinLines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, SortInOrder, bench::LargeText, LineTool::SortAscending)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, SortShuffled, Shuffled, LineTool::SortAscending)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, SortDescending, bench::LargeText, LineTool::SortDescending)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, RemoveDuplicates, Shuffled, LineTool::RemoveDuplicates)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, TrimTrailing, Untidy, LineTool::TrimTrailing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, TabsToSpaces, Untidy, LineTool::TabsToSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, IndentToTabs, Untidy, LineTool::IndentToTabs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, RemoveBlank, Untidy, LineTool::RemoveBlank)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, UpperCase, bench::LargeText, LineTool::UpperCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, LowerCase, bench::LargeText, LineTool::LowerCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, UpperCaseStrayBytes, StrayBytes, LineTool::UpperCase)->Unit(benchmark::kMillisecond);

// ---- as commands on a view -----------------------------------------------------------------------

void Command(benchmark::State& state, const std::string& (*corpus)(), LineTool tool) {
    const std::string& text = corpus();
    const auto owned = bench::QuietView();
    quill::View& view = *owned;
    const lumen::EditorLink editor{bench::CallView, &view};
    for (auto _ : state) {
        state.PauseTiming();
        view.Message(quill::SCI_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
        view.Message(quill::SCI_EMPTYUNDOBUFFER, 0, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(lumen::RunLineTool(editor, tool, EolStyle::Crlf, 4));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(Command, SortShuffled, Shuffled, LineTool::SortAscending)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Command, RemoveDuplicates, Shuffled, LineTool::RemoveDuplicates)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Command, TrimTrailing, Untidy, LineTool::TrimTrailing)->Unit(benchmark::kMillisecond);

}  // namespace
