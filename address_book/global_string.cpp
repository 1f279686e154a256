#include "address_book/global_string.h"

#include "base/shift_jis.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace tavolex {
namespace {

bool SizeFits(std::int64_t size) { return size > 0 && size <= static_cast<std::int64_t>(MovableMemory::kMaxBlockSize); }

}  // namespace

GlobalString::GlobalString(MovableMemory& memory) : memory_(&memory) { (void)Allocate(kFirstBlockSize); }

GlobalString::GlobalString(const char* text, MovableMemory& memory) : GlobalString(memory) { (void)Assign(text); }

GlobalString::GlobalString(const GlobalString& other) : GlobalString(*other.memory_) { (void)Assign(other); }

GlobalString& GlobalString::operator=(const GlobalString& other) {
    (void)Assign(other);
    return *this;
}

GlobalString::~GlobalString() { DropBlock(); }

int GlobalString::Reserve(std::int32_t n) {
    if (n <= capacity_) return kGlobalStringOk;
    if (block_ == nullptr) return Allocate(n);
    return ResizeBlock(static_cast<std::int64_t>(n) + kGrowSlack);
}

int GlobalString::Allocate(std::int32_t n) {
    const std::int32_t size = std::max(n, kFirstBlockSize);
    MovableMemory::Handle block = memory_->Allocate(static_cast<std::size_t>(size));
    if (block == nullptr) return kGlobalStringNoMemory;
    char* bytes = memory_->Lock(block);
    if (bytes == nullptr) {
        memory_->Free(block);
        return kGlobalStringCannotLock;
    }
    DropBlock();
    block_ = block;
    bytes_ = bytes;
    capacity_ = size;
    return kGlobalStringOk;
}

int GlobalString::Assign(const char* text) {
    if (text == nullptr || *text == '\0') {
        Empty();
        return kGlobalStringOk;
    }
    if (text == bytes_) return kGlobalStringOk;
    const std::size_t length = std::strlen(text);
    if (Holds(text)) {
        // A part of our own text: it fits already, and growing would move it away.
        std::memmove(bytes_, text, length + 1);
        return kGlobalStringOk;
    }
    if (static_cast<std::int64_t>(length) + 1 > capacity_) {
        const std::int64_t wanted = static_cast<std::int64_t>(length) + kAssignSlack;
        if (!SizeFits(wanted + kGrowSlack)) return kGlobalStringNoMemory;
        if (const int result = Reserve(static_cast<std::int32_t>(wanted)); result != kGlobalStringOk) return result;
    }
    std::memcpy(bytes_, text, length + 1);
    return kGlobalStringOk;
}

int GlobalString::Assign(const GlobalString& other) {
    if (&other == this || other.Text() == Text()) return kGlobalStringOk;
    return Assign(other.Text());
}

std::int32_t GlobalString::GetLength() const {
    if (bytes_ == nullptr) return 0;
    const void* nul = std::memchr(bytes_, 0, static_cast<std::size_t>(capacity_));
    return nul != nullptr ? static_cast<std::int32_t>(static_cast<const char*>(nul) - bytes_) : capacity_;
}

char GlobalString::GetAt(std::int32_t index) const {
    const std::string_view text = View();
    if (index < 0 || static_cast<std::size_t>(index) >= text.size()) return '\0';
    const std::size_t offset = Cp932CharOffset(text, static_cast<std::size_t>(index));
    return offset < text.size() ? text[offset] : '\0';
}

char* GlobalString::GetBuffer(std::int32_t n) {
    const int result = n > 0 ? Reserve(n) : (block_ == nullptr ? Allocate(0) : kGlobalStringOk);
    return result == kGlobalStringOk ? bytes_ : nullptr;
}

int GlobalString::ReleaseBuffer(std::int32_t n) {
    if (bytes_ == nullptr) return kGlobalStringOk;
    if (std::memchr(bytes_, 0, static_cast<std::size_t>(capacity_)) == nullptr) bytes_[capacity_ - 1] = '\0';
    std::int32_t length = GetLength();
    if (n >= 0 && n < length) {
        length = static_cast<std::int32_t>(Cp932CharOffset(View(), static_cast<std::size_t>(n)));
        bytes_[length] = '\0';
    }
    if (capacity_ > length + kGrowSlack) return ResizeBlock(static_cast<std::int64_t>(length) + kGrowSlack);
    return kGlobalStringOk;
}

bool GlobalString::IsEmpty() const { return Text()[0] == '\0'; }

void GlobalString::Empty() {
    if (bytes_ != nullptr) std::memset(bytes_, 0, static_cast<std::size_t>(capacity_));
}

int GlobalString::ResizeBlock(std::int64_t size) {
    if (!SizeFits(size)) return kGlobalStringNoMemory;
    memory_->Unlock(block_);
    bytes_ = nullptr;
    const bool resized = memory_->Reallocate(block_, static_cast<std::size_t>(size));
    bytes_ = memory_->Lock(block_);
    if (bytes_ == nullptr) {
        DropBlock();
        return kGlobalStringCannotLock;
    }
    if (!resized) return kGlobalStringNoMemory;
    capacity_ = static_cast<std::int32_t>(size);
    return kGlobalStringOk;
}

void GlobalString::DropBlock() {
    if (block_ != nullptr) {
        memory_->Unlock(block_);
        memory_->Free(block_);
    }
    block_ = nullptr;
    bytes_ = nullptr;
    capacity_ = 0;
}

bool GlobalString::Holds(const char* p) const {
    if (bytes_ == nullptr) return false;
    const std::less_equal<const char*> lessEqual;
    return lessEqual(bytes_, p) && std::less<const char*>()(p, bytes_ + capacity_);
}

}  // namespace tavolex
