// Filing and finding the addresses of one /16 in the IP table: the cost per address must stay flat
// as the table grows (the old fixed 256-bucket table grew linearly here, since one /16 fills 16 of
// its buckets).

#include "netmodel/IpAddressTable.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

std::vector<std::array<uint8_t, 4>> OneSlash16(int64_t count) {
    std::vector<std::array<uint8_t, 4>> addresses;
    addresses.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i)
        addresses.push_back(
            {10, 20, static_cast<uint8_t>(1 + i / 254 % 255), static_cast<uint8_t>(1 + i % 254)});
    return addresses;
}

void FileAddresses(benchmark::State& state) {
    const auto addresses = OneSlash16(state.range(0));
    for (auto _ : state) {
        vq::IpAddressTable table(false);
        for (const auto& address : addresses)
            benchmark::DoNotOptimize(table.FindOrAdd(address.data(), false));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FileAddresses)->RangeMultiplier(10)->Range(1'000, 100'000)->Unit(benchmark::kMillisecond);

void FindAddresses(benchmark::State& state) {
    const auto addresses = OneSlash16(state.range(0));
    vq::IpAddressTable table(false);
    for (const auto& address : addresses)
        table.FindOrAdd(address.data(), false);
    for (auto _ : state)
        for (const auto& address : addresses)
            benchmark::DoNotOptimize(table.Find(address.data()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FindAddresses)->RangeMultiplier(10)->Range(1'000, 100'000)->Unit(benchmark::kMillisecond);

} // namespace
