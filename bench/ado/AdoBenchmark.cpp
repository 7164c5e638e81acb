// Client-side recordset costs on a 100,000-row SQLite table: open and walk, find the last
// match, sort by two keys; with the heap bytes each fetched row costs.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"

namespace {

using namespace paperloom::host::ado;

constexpr int kRows = 100000;

class BenchDatabase {
public:
    BenchDatabase() {
        path_ = (std::filesystem::temp_directory_path() /
                 ("paperloom-bench-" + std::to_string(::getpid()) + ".db")).string();
        sqlite3* db = nullptr;
        if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create database");
        const char* sql = R"sql(
            CREATE TABLE Orders(Id INTEGER PRIMARY KEY, Shop VARCHAR(10), Item TEXT, Qty INTEGER,
                                Price DECIMAL(10,2), Ordered DATE);
            WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
            INSERT INTO Orders SELECT i, 'S' || (i % 37), '商品' || i, (i * 7919) % 1000,
                   printf('%d.%02d', i % 5000, i % 100), date('2020-01-01', '+' || (i % 1500) || ' days')
            FROM n;
        )sql";
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error("cannot fill database");
    }
    ~BenchDatabase() { std::filesystem::remove(path_); }
    std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_; }

private:
    std::string path_;
};

const BenchDatabase& Database() {
    static const BenchDatabase db;
    return db;
}

std::shared_ptr<Recordset> OpenOrders() {
    auto connection = std::make_shared<Connection>();
    connection->Open(Database().ConnectionString());
    auto rs = std::make_shared<Recordset>();
    rs->Open("SELECT * FROM Orders", connection);
    return rs;
}

void BM_OpenAndWalk(benchmark::State& state) {
    double bytesPerRow = 0;
    for (auto _ : state) {
        const auto before = mallinfo2().uordblks;
        auto rs = OpenOrders();
        bytesPerRow = static_cast<double>(mallinfo2().uordblks - before) / kRows;
        const auto fields = rs->Fields();
        std::int64_t sum = 0;
        for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
            sum += fields.Item(3L).Value().AsInteger();
            benchmark::DoNotOptimize(fields.Item("Item").Value());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = kRows;
    state.counters["bytes_per_row"] = bytesPerRow;
    state.counters["ns_per_row"] = benchmark::Counter(static_cast<double>(kRows) * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OpenAndWalk)->Unit(benchmark::kMillisecond);

void BM_FindLastMatch(benchmark::State& state) {
    auto rs = OpenOrders();
    for (auto _ : state) {
        rs->MoveFirst();
        rs->Find("Item = '商品100000'");
        if (rs->IsEOF()) state.SkipWithError("no match");
    }
}
BENCHMARK(BM_FindLastMatch)->Unit(benchmark::kMillisecond);

void BM_FindLastMatchBackwardLike(benchmark::State& state) {
    auto rs = OpenOrders();
    for (auto _ : state) {
        rs->MoveLast();
        rs->Find("Item LIKE '%品1'", 0, SearchDirectionEnum::adSearchBackward);
        if (rs->IsBOF()) state.SkipWithError("no match");
    }
}
BENCHMARK(BM_FindLastMatchBackwardLike)->Unit(benchmark::kMillisecond);

void BM_SortTwoKeys(benchmark::State& state) {
    auto rs = OpenOrders();
    for (auto _ : state) {
        rs->SetSort("Shop ASC, Qty DESC");
        rs->SetSort("");
    }
}
BENCHMARK(BM_SortTwoKeys)->Unit(benchmark::kMillisecond);

void BM_FilterThenSort(benchmark::State& state) {
    auto rs = OpenOrders();
    for (auto _ : state) {
        rs->SetFilter("Qty >= 500 AND Ordered < #2022/01/01#");
        rs->SetSort("Price DESC");
        benchmark::DoNotOptimize(rs->RecordCount());
        rs->SetFilter("");
        rs->SetSort("");
    }
}
BENCHMARK(BM_FilterThenSort)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
