// The document's costs at the sizes the editor is built for: loading a 100,000-line (about 10 MB) text
// through the loader, against a plain copy of the same bytes; typing and deleting one character at the
// end and in the middle of it; typing at the end and the start of a 2 MB line. Edits are recorded for
// undo the way typing records them, and are timed per operation.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "bench/engine_corpus.h"
#include "edit/document.h"

namespace {

using quill::Document;

// The yardstick for loading: one allocation and one copy of the text.
void MemoryCopy(benchmark::State& state) {
    const std::string& text = bench::LargeText();
    for (auto _ : state) {
        char* block = static_cast<char*>(std::malloc(text.size() + 4096));
        std::memcpy(block, text.data(), text.size());
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        std::free(block);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(MemoryCopy)->Unit(benchmark::kMillisecond);

void LoadThroughLoader(benchmark::State& state) {
    const std::string& text = bench::LargeText();
    int64_t lines = 0;
    for (auto _ : state) {
        Document* doc = bench::LoadDocument(text);
        lines = doc->LineCount();
        doc->Release();
    }
    if (lines != bench::kLines + 1) state.SkipWithError("wrong line count");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(LoadThroughLoader)->Unit(benchmark::kMillisecond);

// Typing: one character per operation at a caret that moves along, merged into typing runs.
void TypeAt(benchmark::State& state, const std::string& text, bool atEnd) {
    Document* doc = bench::LoadDocument(text);
    int64_t caret = atEnd ? doc->Length() : doc->LineStart(doc->LineCount() / 2) + 10;
    for (auto _ : state) {
        doc->InsertString(caret, "x", 1, quill::kCoalesceTyping);
        ++caret;
    }
    benchmark::DoNotOptimize(doc->LineFromPosition(caret));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}

// Backspace: one character per operation. A run is sealed every 100 keys, as a pause in typing would,
// so that the undo record of a run stays the size a person produces.
void BackspaceAt(benchmark::State& state, const std::string& text, bool atEnd) {
    Document* doc = bench::LoadDocument(text);
    const int64_t start = atEnd ? doc->Length() : doc->LineStart(doc->LineCount() / 2) + 10;
    int64_t caret = start;
    int run = 0;
    for (auto _ : state) {
        if (caret < start - 1000000) {
            // Put the text back now and then, outside the timing, so the document keeps its size.
            state.PauseTiming();
            doc->Release();
            doc = bench::LoadDocument(text);
            caret = start;
            state.ResumeTiming();
        }
        doc->DeleteChars(caret - 1, 1, quill::kCoalesceBackspace);
        --caret;
        if (++run == 100) {
            doc->SealLastStep();
            run = 0;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}

void TypeAtEnd(benchmark::State& state) {
    TypeAt(state, bench::LargeText(), true);
}
void TypeInMiddle(benchmark::State& state) {
    TypeAt(state, bench::LargeText(), false);
}
void BackspaceAtEnd(benchmark::State& state) {
    BackspaceAt(state, bench::LargeText(), true);
}
void BackspaceInMiddle(benchmark::State& state) {
    BackspaceAt(state, bench::LargeText(), false);
}
BENCHMARK(TypeAtEnd);
BENCHMARK(TypeInMiddle);
BENCHMARK(BackspaceAtEnd);
BENCHMARK(BackspaceInMiddle);

// Typing in a line that moves back one line each time: the pending line-start step walks backwards.
void TypeMovingUpLines(benchmark::State& state) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    int64_t line = doc->LineCount() / 2;
    for (auto _ : state) {
        doc->InsertString(doc->LineStart(line) + 5, "y", 1, quill::kCoalesceTyping);
        line = line > 1 ? line - 1 : doc->LineCount() - 2;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}
BENCHMARK(TypeMovingUpLines);

// Enter in the middle of the document: a line start is inserted into the index each time.
void NewLineInMiddle(benchmark::State& state) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    int64_t caret = doc->LineStart(doc->LineCount() / 2) + 10;
    for (auto _ : state) {
        doc->InsertString(caret, "\r\n", 2, quill::kCoalesceTyping);
        caret += 2;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}
BENCHMARK(NewLineInMiddle);

void TypeAtEndOfLongLine(benchmark::State& state) {
    TypeAt(state, bench::LongLine(), true);
}
void TypeAtStartOfLongLine(benchmark::State& state) {
    Document* doc = bench::LoadDocument(bench::LongLine());
    int64_t caret = 0;
    for (auto _ : state) {
        doc->InsertString(caret, "x", 1, quill::kCoalesceTyping);
        ++caret;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}
BENCHMARK(TypeAtEndOfLongLine);
BENCHMARK(TypeAtStartOfLongLine);

// The first keystroke after the caret jumped: the gap moves across half the document.
void FirstKeyAfterAJump(benchmark::State& state) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    bool top = true;
    for (auto _ : state) {
        const int64_t at = top ? 10 : doc->Length() - 10;
        doc->InsertString(at, "z", 1, quill::kCoalesceTyping);
        top = !top;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    doc->Release();
}
BENCHMARK(FirstKeyAfterAJump)->Unit(benchmark::kMicrosecond);

}  // namespace
