#include "sketch/jpeg_file.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "base/trace.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace tavolex {
namespace {

constexpr int kMaxJpegDimension = 65500;  // JPEG_MAX_DIMENSION

// libjpeg's standard error manager, with the place to jump back to when the library fails.
struct JpegErrorManager {
    jpeg_error_mgr standard;  // first, so the library's pointer to it is a pointer to the whole
    std::jmp_buf jumpBack;
    char message[JMSG_LENGTH_MAX];
};

// What one write shares with its error exit. It lives in the caller of the function that calls
// setjmp, so values set after setjmp are still valid after the jump back.
struct JpegJob {
    jpeg_compress_struct compressor;
    JpegErrorManager errors;
    // The library's buffer of the encoded picture, freed by the caller.
    unsigned char* buffer = nullptr;
    unsigned long bufferSize = 0;
};

// The library's exit handler must not return: keep the message and jump back to the writer.
extern "C" void ExitToWriter(j_common_ptr common) {
    auto* errors = reinterpret_cast<JpegErrorManager*>(common->err);
    (*common->err->format_message)(common, errors->message);
    std::longjmp(errors->jumpBack, 1);
}

// Runs the compression into memory; a library error jumps back to the setjmp here. Holds nothing
// with a destructor, since the jump skips destructors. Returns false on an error.
bool Compress(JpegJob& job, std::span<const std::uint8_t> rgb, int width, int height, int quality) {
    jpeg_compress_struct& compressor = job.compressor;
    compressor.err = jpeg_std_error(&job.errors.standard);
    job.errors.standard.error_exit = ExitToWriter;
    if (setjmp(job.errors.jumpBack) != 0) return false;

    jpeg_create_compress(&compressor);
    jpeg_mem_dest(&compressor, &job.buffer, &job.bufferSize);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    const std::size_t rowSize = static_cast<std::size_t>(width) * 3;
    while (compressor.next_scanline < compressor.image_height) {
        // libjpeg takes rows as non-const, but only reads them.
        JSAMPROW row = const_cast<JSAMPROW>(rgb.subspan(compressor.next_scanline * rowSize, rowSize).data());
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    return true;
}

bool ValidPicture(std::span<const std::uint8_t> rgb, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxJpegDimension || height > kMaxJpegDimension) return false;
    return rgb.size() / 3 / static_cast<std::size_t>(width) >= static_cast<std::size_t>(height);
}

}  // namespace

std::vector<std::uint8_t> JpegFile::Encode(std::span<const std::uint8_t> rgb, int width, int height, int quality) {
    if (!ValidPicture(rgb, width, height)) return {};
    JpegJob job{};
    const bool compressed = Compress(job, rgb, width, height, quality);
    jpeg_destroy_compress(&job.compressor);
    std::vector<std::uint8_t> bytes;
    if (compressed && job.buffer != nullptr) bytes.assign(job.buffer, job.buffer + job.bufferSize);
    std::free(job.buffer);
    return bytes;
}

int JpegFile::Write(const std::filesystem::path& path, std::span<const std::uint8_t> rgb, int width, int height,
                    int quality) {
    const std::vector<std::uint8_t> bytes = Encode(rgb, width, height, quality);
    if (bytes.empty()) return 0;
    // Through a new file renamed in place: a link or a hard-linked copy at path is replaced, never
    // written through, and a failed write leaves what path held.
    const std::error_code error =
        platform::ReplaceFileContent(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!error) return 1;
    TraceError("JpegFile :\nCan't open %s\n", platform::PathTraceText(path).c_str());
    return 0;
}

}  // namespace tavolex
