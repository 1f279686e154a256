#pragma once
// A Palm Desktop folder at full capacity for the benchmarks and scripts/bench-cli.

#include "tests/support/palm_database_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace tavolex::bench {

// Writes one database file record by record, so that even a full-capacity store never sits in
// memory as a whole.
class DatabaseFileWriter {
public:
    DatabaseFileWriter(const std::filesystem::path& path, std::int32_t count, const std::string& appInfo = {})
        : out_(path, std::ios::binary) {
        test::RawDatabase header;
        header.recordCount = count;
        header.appInfo = appInfo;
        Put(test::DatabaseBytes(header));
    }
    void Add(std::uint32_t id, std::string body, std::uint32_t category = 0) {
        test::RawRecord record;
        record.body = std::move(body);
        record.uniqueId = id;
        record.categoryIndex = category;
        Put(test::RecordBytes(record));
    }

private:
    void Put(const std::string& bytes) { out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); }
    std::ofstream out_;
};

// Writes palmFolder/Large/Tavolex: 65,520 meetings with titles and locations in Japanese, each
// with one agenda item, note, to-do (dated or not, open or done) and sketch, and one of 4,096
// attendees. The sketches have a title only, or with
// sketchPictures a 160 x 160 picture (2 bits per pixel, scan-line compressed, as the handheld draws
// them) for the export benchmarks.
// count writes that many meetings instead (a store a little larger than a window of rows, for the
// desktop program's tests); user names the user's folder instead of "Large".
void WriteLargeStore(const std::filesystem::path& palmFolder, bool sketchPictures = false, std::uint32_t count = 65520,
                     const std::string& user = "Large");

}  // namespace tavolex::bench
