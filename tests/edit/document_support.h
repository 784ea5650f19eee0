// Helpers for tests of the text engine: an owning document handle, a watcher that records what it is
// told, and the line starts of a plain string computed the simple way, to check the index against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edit/document.h"

namespace quill::test {

// Holds one reference to a fresh document, optionally filled with text (with undo collection off, so
// the history starts empty).
class DocHandle {
public:
    explicit DocHandle(std::string_view text = {}) : doc_(new Document()) {
        doc_->AddRef();
        if (!text.empty()) {
            doc_->SetCollectUndo(false);
            doc_->InsertString(0, text.data(), static_cast<int64_t>(text.size()));
            doc_->SetCollectUndo(true);
        }
    }
    ~DocHandle() { doc_->Release(); }
    DocHandle(const DocHandle&) = delete;
    DocHandle& operator=(const DocHandle&) = delete;

    Document* operator->() const { return doc_; }
    Document& operator*() const { return *doc_; }
    Document* get() const { return doc_; }

    std::string Text() const { return doc_->GetText(0, doc_->Length()); }
    bool Insert(int64_t position, std::string_view text, uint32_t kind = kCoalesceNone) const {
        return doc_->InsertString(position, text.data(), static_cast<int64_t>(text.size()), kind);
    }

private:
    Document* doc_;
};

struct Modification {
    bool inserted;
    int64_t position;
    int64_t length;
    int64_t line;
    int64_t linesAdded;
    uint32_t flags;
    std::string text;
    int64_t lineCountAfter;
};

// Records every notification; answers GetSelection with the selection the test sets.
class RecordingWatcher : public DocWatcher {
public:
    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override {
        mods.push_back({inserted, position, length, line, linesAdded, flags,
                        std::string(text, static_cast<size_t>(length)), document->LineCount()});
    }
    void NotifySavePoint(Document*, bool atSavePoint) override { savePoints.push_back(atSavePoint); }
    void GetSelection(int64_t* a, int64_t* c) override {
        ++selectionQueries;
        *a = anchor;
        *c = caret;
    }

    std::vector<Modification> mods;
    std::vector<bool> savePoints;
    int64_t anchor = 0;
    int64_t caret = 0;
    int selectionQueries = 0;
};

// Line starts of text by the plain rule (LF, CR, CR LF as one break), with the length as sentinel.
inline std::vector<int64_t> ModelLineStarts(std::string_view text) {
    std::vector<int64_t> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            starts.push_back(static_cast<int64_t>(i + 1));
    }
    starts.push_back(static_cast<int64_t>(text.size()));
    return starts;
}

// The document's line starts through its public interface, in the same shape.
inline std::vector<int64_t> DocLineStarts(const Document& doc) {
    std::vector<int64_t> starts;
    for (int64_t line = 0; line <= doc.LineCount(); ++line)
        starts.push_back(doc.LineStart(line));
    return starts;
}

}  // namespace quill::test
