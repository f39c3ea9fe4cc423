// Tempos dos suavizadores do método por varredura e por ponto, com 1 e 2 threads, ao lado do gauss_seidel de
// referência (o laço direto): cmake -DPLACA_BENCH=ON ... && build-bench/bench/placa_bench_metodo
#include <algorithm>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "run/execucao.h"
#include "solver/solver.h"
#include "state/componentes.h"

namespace {

// Nível único n x n com interior ao acaso e contornos do problema senoidal.
estado_execucao nivel(int n) {
    estado_execucao e;
    e.nm = 1;
    e.nxg.assign(2, n);
    e.nyg.assign(2, n);
    e.nxyg.assign(2, 0);
    derivar_niveis(e);
    e.itmax = 1;
    e.nitm = 2;
    e.problema = 2;
    criar_hist(e);
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    preparar_campo_inicial(e, metodo_efetivo({}, e.nitm, e.nm, e.problema));
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (int j = 2; j < n; ++j)
        for (int i = 2; i < n; ++i) e.T[i + (j - 1) * static_cast<std::size_t>(n)] = d(g);
    return e;
}

// Args: n, suavizador (índice; -1 = gauss_seidel de referência), threads. Duas varreduras por iteração.
void BM_suavizador(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), qual = static_cast<int>(s.range(1));
    const int threads = static_cast<int>(s.range(2));
    estado_execucao e = nivel(n);
    equipe eq(threads);
    std::vector<double> rascunho(std::max<long>(e.nxyg[1] + 1, rascunho_linhas(n, n)));
    const componente_suavizador& c = suavizadores()[static_cast<std::size_t>(std::max(qual, 0))];
    const meios_suavizacao m{c.omega_padrao, &eq, rascunho.data()};
    for (auto _ : s) {
        if (qual < 0) gauss_seidel(e);
        else nucleo(c.tipo)(nivel_corrente(e), m, 2);
        benchmark::ClobberMemory();
    }
    s.SetLabel(qual < 0 ? "gauss_seidel (referência)" : c.nome);
    const double pontos = 2.0 * (n - 2) * (n - 2);
    s.counters["s_por_ponto"] = benchmark::Counter(pontos, benchmark::Counter::kIsIterationInvariantRate
                                                                 | benchmark::Counter::kInvert);
}

void argumentos(benchmark::internal::Benchmark* b) {
    for (int n : {1025, 2049}) {
        b->Args({n, -1, 1});
        for (const componente_suavizador& c : suavizadores())
            for (int th : {1, 2}) // as threads só dividem gs-rb e jacobi
                if (th == 1 || c.tipo == tipo_suavizador::gs_rb || c.tipo == tipo_suavizador::jacobi)
                    b->Args({n, static_cast<int>(c.tipo), th});
    }
}

} // namespace

BENCHMARK(BM_suavizador)->Apply(argumentos)->ArgNames({"n", "suavizador", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2);

BENCHMARK_MAIN();
