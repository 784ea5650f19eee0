// Running a line tool on the editor: which lines a command covers, reading the range once, the
// new text from line_tools.h, one replacement as one undo step (none when nothing changes), the
// selection afterwards and the status text. Everything goes through the editor's direct-call
// function, so the same code drives the "QuillEdit" window and, natively, a view object.
#pragma once

#include <cstdint>
#include <string>

#include "files/text_codecs.h"
#include "tools/line_tools.h"

namespace lumen {

// The editor's direct-call function and pointer.
using EditorFn = intptr_t (*)(void* editor, unsigned message, uintptr_t wParam, intptr_t lParam);
struct EditorLink {
    EditorFn fn = nullptr;
    void* editor = nullptr;
    intptr_t operator()(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0) const {
        return fn(editor, message, wParam, lParam);
    }
};

// What the line rules need of a document.
class LineQuery {
public:
    virtual int64_t Length() = 0;
    virtual int64_t LineCount() = 0;  // at least 1
    virtual int64_t LineFromPosition(int64_t position) = 0;
    virtual int64_t LineStart(int64_t line) = 0;
    virtual int64_t LineEnd(int64_t line) = 0;  // before the line's break

protected:
    ~LineQuery() = default;
};

// Lines first..last inclusive.
struct LineSpan {
    int64_t first = 0;
    int64_t last = 0;
};

// The lines a selection [start, end) covers: those of start and end, except that a selection
// ending exactly at the start of a later line leaves that line out. An empty selection covers the
// caret's line.
LineSpan SelectedLines(LineQuery& doc, int64_t start, int64_t end);

// The byte range a line tool reads and replaces (deletes, for DeleteLines), from the selection
// [selStart, selEnd). `run` is false when the command does not apply; then `message` may say why.
// ChangeCase works on the selection or the word around the caret and is not planned here.
struct ToolRange {
    bool run = false;
    int64_t start = 0;
    int64_t end = 0;
    LineSpan lines;
    std::wstring message;
};
ToolRange PlanLineTool(LineTool tool, LineQuery& doc, int64_t selStart, int64_t selEnd);

// Runs the tool on the editor's document with the tab's break and tab width and returns the status
// text to show (empty for none).
std::wstring RunLineTool(const EditorLink& editor, LineTool tool, EolStyle eol, int32_t tabWidth);

}  // namespace lumen
