// Appending a checkpoint's Data rows through the history tables, in one transaction, as the writer
// does: open at the last row, add, close, for every row.
#include "history/HistoryDB.h"
#include "history/HistoryDB_Create.h"
#include "platform/db/StatementCache.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <stdlib.h>

namespace vq::history {
namespace {

void AppendDataRows(benchmark::State& state) {
    const int64_t rows = state.range(0);
    std::string folder = (std::filesystem::temp_directory_path() / "vq-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = folder + "/h" + std::to_string(run++) + ".mdb";
        if (!DatabaseCreate(path, false)) {
            state.SkipWithError("cannot create the database");
            break;
        }
        HistoryDB database(path);
        state.ResumeTiming();

        database.Begin();
        HistoryDB::Data_Table& data = database.m_Data;
        for (int64_t row = 0; row < rows; ++row) {
            database.OpenTable(Data_Number, LastRow);
            data.BeginAdd();
            *data.m_DataIndex->m_Value = row;
            *data.m_Octets->m_Value = static_cast<double>(row * 64);
            *data.m_Packets->m_Value = static_cast<double>(row);
            *data.m_Packets64->m_Value = 1.0;
            *data.m_TupleIndex->m_Value = row % 1000;
            *data.m_TimeIndex->m_Value = 1;
            data.EndAdd();
            data.Close();
        }
        database.Commit();
        state.counters["preparations"] = static_cast<double>(database.Statements().Preparations());
    }
    std::filesystem::remove_all(folder);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(AppendDataRows)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace vq::history
