// Per-unit arrays of a LineLayout. A long line is patched in place on every keystroke, so each array
// keeps spare room at both ends and an edit moves whichever side of it is shorter: typing at the
// start of a 2 MB line moves a handful of entries instead of two million. Offsets and xs grow by the
// edit's bytes and width after it; a relative array stores its values against a shared base, so
// that moving the front instead is a change of the front entries and of the base.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

namespace quill {

template <typename T, bool Relative = false>
class UnitArray {
    // Relative entries wrap around in unsigned arithmetic; only their sum with the base is a value.
    using Stored = std::conditional_t<Relative, std::make_unsigned_t<T>, T>;

public:
    // Reads a relative array by value: its stored entries are not the values.
    class ValueIterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = T;

        ValueIterator() = default;
        ValueIterator(const Stored* p, Stored base) : p_(p), base_(base) {}
        T operator*() const { return static_cast<T>(static_cast<Stored>(*p_ + base_)); }
        T operator[](difference_type k) const { return *(*this + k); }
        ValueIterator& operator++() {
            ++p_;
            return *this;
        }
        ValueIterator operator++(int) {
            ValueIterator t = *this;
            ++p_;
            return t;
        }
        ValueIterator& operator--() {
            --p_;
            return *this;
        }
        ValueIterator operator--(int) {
            ValueIterator t = *this;
            --p_;
            return t;
        }
        ValueIterator& operator+=(difference_type k) {
            p_ += k;
            return *this;
        }
        ValueIterator& operator-=(difference_type k) {
            p_ -= k;
            return *this;
        }
        friend ValueIterator operator+(ValueIterator i, difference_type k) { return i += k; }
        friend ValueIterator operator+(difference_type k, ValueIterator i) { return i += k; }
        friend ValueIterator operator-(ValueIterator i, difference_type k) { return i -= k; }
        friend difference_type operator-(const ValueIterator& a, const ValueIterator& b) {
            return a.p_ - b.p_;
        }
        friend bool operator==(const ValueIterator& a, const ValueIterator& b) { return a.p_ == b.p_; }
        friend std::strong_ordering operator<=>(const ValueIterator& a, const ValueIterator& b) {
            return a.p_ <=> b.p_;
        }

    private:
        const Stored* p_ = nullptr;
        Stored base_ = 0;
    };

    using value_type = T;
    using size_type = size_t;
    using difference_type = std::ptrdiff_t;
    using const_iterator = std::conditional_t<Relative, ValueIterator, const T*>;
    using iterator = const_iterator;
    using const_reference = std::conditional_t<Relative, T, const T&>;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    UnitArray() = default;
    UnitArray(UnitArray&&) noexcept = default;
    UnitArray& operator=(UnitArray&&) noexcept = default;
    UnitArray(const UnitArray& other) { *this = other; }
    UnitArray& operator=(const UnitArray& other) {
        if (this == &other) return *this;
        buf_.reset(other.capacity_ ? new Stored[other.capacity_] : nullptr);
        capacity_ = other.capacity_;
        head_ = other.head_;
        size_ = other.size_;
        base_ = other.base_;
        if (size_) std::memcpy(buf_.get() + head_, other.buf_.get() + head_, size_ * sizeof(Stored));
        return *this;
    }

    size_t capacity() const { return capacity_; }

    const_reference operator[](size_t i) const {
        if constexpr (Relative) {
            return static_cast<T>(static_cast<Stored>(buf_[head_ + i] + base_));
        } else {
            return buf_[head_ + i];
        }
    }
    T& operator[](size_t i) requires(!Relative) { return buf_[head_ + i]; }
    const_reference front() const { return (*this)[0]; }
    const_reference back() const { return (*this)[size_ - 1]; }
    void Set(size_t i, T v) {
        if constexpr (Relative) {
            buf_[head_ + i] = static_cast<Stored>(static_cast<Stored>(v) - base_);
        } else {
            buf_[head_ + i] = v;
        }
    }

    const T* data() const requires(!Relative) { return buf_.get() + head_; }
    T* data() requires(!Relative) { return buf_.get() + head_; }
    const_iterator begin() const {
        if constexpr (Relative) {
            return ValueIterator(buf_.get() + head_, base_);
        } else {
            return buf_.get() + head_;
        }
    }
    const_iterator end() const { return begin() + static_cast<difference_type>(size_); }

    // Keeps the first min(n, size) values; new entries read as T{}.
    void resize(size_t n) {
        if (head_ + n > capacity_) Reallocate(0, n - size_);
        if (n > size_) {
            Stored* p = buf_.get() + head_;
            std::fill(p + size_, p + n, static_cast<Stored>(Stored{} - base_));
        }
        size_ = n;
    }
    // Keeps the storage, with room before the entries for edits at the start of the next line.
    // Like resize, but entries past the old size are left unset: for a caller that writes every one
    // of them. Storage that is never written is never touched, so a line laid out into room for one
    // unit per byte keeps in memory only the units it has.
    void ResizeForOverwrite(size_t n) {
        if (head_ + n > capacity_) Reallocate(0, n - size_);
        size_ = n;
    }
    void clear() {
        size_ = 0;
        head_ = capacity_ / 10;
        base_ = 0;
    }
    void shrink_to_fit() {
        std::unique_ptr<Stored[]> kept(size_ ? new Stored[size_] : nullptr);
        for (size_t k = 0; k < size_; ++k)
            kept[k] = static_cast<Stored>((*this)[k]);
        buf_ = std::move(kept);
        capacity_ = size_;
        head_ = 0;
        base_ = 0;
    }

    // Inserts `count` values from `values` before index `at` and adds `shift` to every value that
    // was at or after `at` (a relative array only).
    template <typename It>
    void Insert(size_t at, It values, size_t count, T shift = T{}) {
        const Stored s = static_cast<Stored>(shift);
        if (at < size_ - at) {
            if (head_ < count) Reallocate(count, 0);
            Stored* p = buf_.get() + head_;
            Stored* q = p - count;
            if constexpr (Relative) {
                MoveAdding(q, p, at, static_cast<Stored>(Stored{} - s));
                base_ = static_cast<Stored>(base_ + s);
            } else {
                if (at) std::memmove(q, p, at * sizeof(Stored));
            }
            head_ -= count;
        } else {
            if (capacity_ - head_ - size_ < count) Reallocate(0, count);
            Stored* p = buf_.get() + head_;
            if constexpr (Relative) {
                MoveAdding(p + at + count, p + at, size_ - at, s);
            } else {
                if (size_ > at) std::memmove(p + at + count, p + at, (size_ - at) * sizeof(Stored));
            }
        }
        size_ += count;
        for (size_t k = 0; k < count; ++k, ++values)
            Set(at + k, static_cast<T>(*values));
    }

    // Removes entries [from, to) and subtracts `shift` from every value after them (a relative
    // array only).
    void Erase(size_t from, size_t to, T shift = T{}) {
        const Stored s = static_cast<Stored>(shift);
        const size_t gap = to - from;
        Stored* p = buf_.get() + head_;
        if (from < size_ - to) {
            if constexpr (Relative) {
                MoveAdding(p + gap, p, from, s);
                base_ = static_cast<Stored>(base_ - s);
            } else {
                if (from) std::memmove(p + gap, p, from * sizeof(Stored));
            }
            head_ += gap;
        } else {
            if constexpr (Relative) {
                MoveAdding(p + from, p + to, size_ - to, static_cast<Stored>(Stored{} - s));
            } else {
                if (size_ > to) std::memmove(p + from, p + to, (size_ - to) * sizeof(Stored));
            }
        }
        size_ -= gap;
    }

    // Replaces entries [from, to) with `count` values from `values` and adds `shift` to every value
    // after them (a relative array only). With as many values as it replaces nothing moves but the
    // shifted values, and those only on the shorter side: a composition growing jamo by jamo in
    // the middle of a 2 MB line costs what its own units cost.
    template <typename It>
    void Replace(size_t from, size_t to, It values, size_t count, T shift = T{}) {
        if (count != to - from) {
            Erase(from, to);
            Insert(from, values, count, shift);
            return;
        }
        if constexpr (Relative) {
            const Stored s = static_cast<Stored>(shift);
            Stored* p = buf_.get() + head_;
            if (s == 0) {
            } else if (from < size_ - to) {
                MoveAdding(p, p, from, static_cast<Stored>(Stored{} - s));
                base_ = static_cast<Stored>(base_ + s);
            } else {
                MoveAdding(p + to, p + to, size_ - to, s);
            }
        }
        for (size_t k = 0; k < count; ++k, ++values)
            Set(from + k, static_cast<T>(*values));
    }

    friend bool operator==(const UnitArray& a, const UnitArray& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const UnitArray& a, const std::vector<T>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    // Moves n stored entries from src to dst (the ranges may overlap) adding `delta` to each, in
    // blocks of a fixed size that compilers turn into vector loads, adds and stores: in the middle
    // of a 2 MB line an edit moves a million entries of each relative array. Each block is read
    // whole before it is written, and blocks go in the direction that never reads what was written.
    static void MoveAdding(Stored* dst, const Stored* src, size_t n, Stored delta) {
        constexpr size_t kBlock = 16;
        Stored block[kBlock];
        auto one = [&](size_t k, size_t count) {
            for (size_t j = 0; j < count; ++j)
                block[j] = static_cast<Stored>(src[k + j] + delta);
            for (size_t j = 0; j < count; ++j)
                dst[k + j] = block[j];
        };
        auto full = [&](size_t k) {
            for (size_t j = 0; j < kBlock; ++j)
                block[j] = static_cast<Stored>(src[k + j] + delta);
            for (size_t j = 0; j < kBlock; ++j)
                dst[k + j] = block[j];
        };
        const size_t whole = n - n % kBlock;
        if (dst < src) {
            for (size_t k = 0; k < whole; k += kBlock)
                full(k);
            one(whole, n - whole);
        } else {
            one(whole, n - whole);
            for (size_t k = whole; k > 0; k -= kBlock)
                full(k - kBlock);
        }
    }

    // Moves the entries into a new buffer with at least `front` free entries before them and `back`
    // after, plus room for more edits on both sides so that typing reallocates rarely (and a line
    // laid out afresh can take its first edits at either end without a copy).
    void Reallocate(size_t front, size_t back) {
        const size_t spare = (size_ + front + back) / 8 + 64;
        const size_t f = front + spare, b = back + spare;
        // Left uninitialised (entries are written before they are read), so untouched room costs
        // address space only.
        std::unique_ptr<Stored[]> next(new Stored[f + size_ + b]);
        if (size_) std::memcpy(next.get() + f, buf_.get() + head_, size_ * sizeof(Stored));
        buf_ = std::move(next);
        capacity_ = f + size_ + b;
        head_ = f;
    }

    std::unique_ptr<Stored[]> buf_;
    size_t capacity_ = 0;
    size_t head_ = 0;  // index in buf_ of entry 0
    size_t size_ = 0;
    Stored base_ = 0;  // added to every stored entry of a relative array
};

}  // namespace quill
