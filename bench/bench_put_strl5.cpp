// Writing the Esterel module of a generated chart of n states and 2n
// transitions, at two sizes. The time per transition must stay flat from the
// smaller chart to the larger: "vs_smallest" is the larger chart's time per
// transition over the smaller one's (about 1 when the writer is linear).
#include "chart/gal_norm.h"
#include "writers/put_strl5.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

// One automaton: every state steps to the next (strong abortion) and jumps
// seven ahead (weak abortion with an action); one initial arrow.
std::unique_ptr<gal_tpen_fichier> generated_chart(int n) {
    String name = "big";
    std::list<String> types, actions = {"O"};
    std::list<gal_declaration_variables> inputs = {{"pure", "a"}, {"pure", "b"}, {"pure", "c"}};
    std::list<gal_declaration_variables> outputs = {{"pure", "O"}}, none;
    std::list<gal_declaration_progs> runs;
    std::list<gal_declaration_functions> functions;
    std::list<gal_declaration_constants> constants;
    std::list<gal_declaration_pres> pres;
    auto chart = std::make_unique<gal_tpen_fichier>(&name, par_automata_model, &types, &inputs,
                                                    &none, &outputs, &none, &none, &runs,
                                                    &functions, &constants, &pres, &actions);
    std::list<gal_tpen_etat> states;
    std::list<gal_tpen_transition> transitions;
    for (int i = 0; i < n; ++i) {
        String state_name = "s" + std::to_string(i);
        std::list<int> no_action;
        states.emplace_back(normal_star, &state_name, 0.0, 0.0, gal_run_instance(), &no_action);
        transitions.emplace_back(i, (i + 1) % n, strong_trans, 0.0, 0.0, 0, "a", std::list<int>());
        transitions.emplace_back(i, (i + 7) % n, weak_trans, 0.0, 0.0, 1, "b and c",
                                 std::list<int>{0});
    }
    transitions.emplace_back(-1, 0, strong_trans, 0.0, 0.0, 0, "1", std::list<int>());
    chart->parse_etats(&states);
    chart->parse_transitions(&transitions);
    chart->normalise_diametre_etats();
    chart->update_simple_connexite();
    chart->raj_pre_post_transitions();
    return chart;
}

std::map<int, double> seconds_per_transition;  // by chart size

void BM_put_strl5(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto chart = generated_chart(n);
    char dir[] = "/tmp/tessan-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const String file = String(dir) + "/big.strl";
    double elapsed = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(chart->put_strl5(file, "big"));
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::remove(file.c_str());
    std::remove(dir);

    const double transitions = chart->nbr_transitions();
    const double per_transition = elapsed / static_cast<double>(state.iterations()) / transitions;
    seconds_per_transition[n] = per_transition;
    state.counters["ns_per_transition"] = per_transition * 1e9;
    state.counters["vs_smallest"] = per_transition / seconds_per_transition.begin()->second;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * chart->nbr_transitions());
}

std::map<int, double> seconds_per_operand;  // by trigger length

// One trigger of n operands in the chart's own spellings, which the writer
// rewrites in Esterel's: the time per operand must stay flat as well.
void BM_strl5_recept(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    String trigger = "#a";
    const char* const operators[] = {" | ", " & !", " + ", " . ~", " OR [b AND c] | "};
    for (int i = 1; i < n; ++i)
        trigger += operators[i % 5] + std::string(1, "abc"[i % 3]);
    double elapsed = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(strl5_recept(trigger));
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double per_operand = elapsed / static_cast<double>(state.iterations()) / n;
    seconds_per_operand[n] = per_operand;
    state.counters["ns_per_operand"] = per_operand * 1e9;
    state.counters["vs_smallest"] = per_operand / seconds_per_operand.begin()->second;
}

}  // namespace

BENCHMARK(BM_put_strl5)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_strl5_recept)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
