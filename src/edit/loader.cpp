#include "edit/loader.h"

#include "edit/document.h"

namespace quill {

Loader::Loader(int64_t sizeHint) : document_(new Document()) {
    document_->AddRef();
    if (sizeHint > document_->Length()) document_->Reserve(sizeHint - document_->Length());
}

Loader::~Loader() {
    if (document_) document_->Release();
}

int Loader::Release() {
    delete this;
    return 0;
}

int Loader::AddData(const char* bytes, int64_t count) {
    if (count < 1) return 0;
    if (!document_) return 1;
    return document_->AppendRaw(bytes, count) ? 0 : 2;
}

Document* Loader::ConvertToDocument() {
    Document* document = document_;
    document_ = nullptr;
    // The text arrived without line upkeep: index it once, in one scan.
    if (document) document->RebuildLineIndex();
    delete this;
    return document;
}

}  // namespace quill
