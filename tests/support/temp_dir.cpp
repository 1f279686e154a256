#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

namespace tavolex::test {

TempDir::TempDir(const std::filesystem::path& base) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::error_code ec;
    do {
        path_ = base / ("tavolex-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    } while (!std::filesystem::create_directory(path_, ec));
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tavolex::test
