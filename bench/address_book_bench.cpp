// Loading Palm Desktop's address book: a 10,000-person book, every field filled.

#include "address_book/address_book.h"

#include "tests/support/address_book_writer.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<tavolex::test::AddressBookPerson> People(int count) {
    std::vector<tavolex::test::AddressBookPerson> people;
    people.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        tavolex::test::AddressBookPerson p;
        const std::string n = std::to_string(i);
        p.recordId = 0x100000 + i;
        p.lastName = "\x8e\x52\x93\x63" + n + "\x01yamada";  // 山田
        p.firstName = "\x91\xbe\x98\x59";                    // 太郎
        p.title = "Section manager";
        p.company = "Tavolex Trading Co., Ltd.";
        for (int k = 0; k < 5; ++k) p.phones[static_cast<std::size_t>(k)] = {k, "03-5555-" + n};
        p.address = "1-2-3 Marunouchi";
        p.city = "Chiyoda-ku";
        p.state = "Tokyo";
        p.zip = "100-0005";
        p.country = "Japan";
        p.note = std::string(200, 'n');
        p.categoryId = i % 4;
        p.custom = {"one", "two", "three", "four"};
        people.push_back(std::move(p));
    }
    return people;
}

void BM_ReloadAddressBook(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    tavolex::test::TempDir dir;
    const std::filesystem::path path = tavolex::AddressBook::PathInUserFolder(dir.Path());
    tavolex::test::WriteAddressBook(path, People(count));
    tavolex::AddressBook book(path);
    for (auto _ : state) {
        const std::int32_t loaded = book.Reload();
        if (loaded != count) state.SkipWithError("not every person was read");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReloadAddressBook)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
