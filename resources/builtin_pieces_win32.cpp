// The pieces as HTML resources (type 23) of the program's own module, listed in
// builtin_pieces.rc and linked into every program that uses them.

#include "resources/builtin_pieces_source.h"

#include <windows.h>

namespace tavolex::detail {

std::span<const std::uint8_t> FindPieceBytes(int id) {
    if (id <= 0 || id > 0xFFFF) return {};  // not a resource id
    // A loaded resource is mapped with the module and needs no release.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(23));
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    if (loaded == nullptr) return {};
    const void* data = LockResource(loaded);
    const DWORD size = SizeofResource(module, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

}  // namespace tavolex::detail
