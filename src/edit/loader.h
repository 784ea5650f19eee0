// Filling a new document in one pass: the host appends the file's bytes and converts the loader into
// the document, which then builds its line index once instead of keeping it up per append.
#pragma once

#include <cstdint>

namespace quill {

class Document;

class ILoader {
public:
    // Releases the document still held and frees the loader; returns 0.
    virtual int Release() = 0;
    // Appends bytes at the end of the text: 0 on success, 1 when the loader no longer holds a
    // document, 2 when the buffer cannot grow. count < 1 returns 0 without change.
    virtual int AddData(const char* bytes, int64_t count) = 0;
    // Gives up the document with its line index rebuilt and the one reference the loader held, and
    // frees the loader.
    virtual Document* ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

class Loader final : public ILoader {
public:
    // Creates an empty document with one reference, reserving sizeHint bytes when that is larger than
    // its length.
    explicit Loader(int64_t sizeHint);

    int Release() override;
    int AddData(const char* bytes, int64_t count) override;
    Document* ConvertToDocument() override;

private:
    ~Loader();

    Document* document_;
};

// The loader that the create-loader message hands out.
inline ILoader* CreateLoader(int64_t sizeHint) {
    return new Loader(sizeHint);
}

}  // namespace quill
