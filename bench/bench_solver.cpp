// Tempos dos núcleos de referência e rápidos: uma chamada de Gauss-Seidel, um ciclo V e uma solução inteira,
// com o limite de banda de memória (bytes movidos sobre a banda de cópia medida nesta mesma execução).
#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "run/execucao.h"
#include "solver/solver.h"

namespace {

// Banda de cópia (bytes lidos + escritos por segundo) com n threads, melhor de 5 cópias de 128 MiB.
double banda_copia(int n) {
    static std::map<int, double> medidas;
    if (auto it = medidas.find(n); it != medidas.end()) return it->second;
    const std::size_t tam = std::size_t{16} << 20; // doubles
    std::vector<double> a(tam, 1.0), b(tam, 0.0);
    double melhor = 1e30;
    for (int rep = 0; rep < 5; ++rep) {
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<std::thread> ts;
        for (int id = 0; id < n; ++id)
            ts.emplace_back([&, id] {
                const std::size_t i0 = tam * id / n, i1 = tam * (id + 1) / n;
                std::memcpy(b.data() + i0, a.data() + i0, (i1 - i0) * sizeof(double));
            });
        for (auto& t : ts) t.join();
        melhor = std::min(melhor, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    benchmark::DoNotOptimize(b.data());
    return medidas[n] = 2.0 * sizeof(double) * tam / melhor;
}

// Estado com nm níveis, o mais grosso de n1 x n1 pontos, problema senoidal, campo inicial nulo preparado.
estado_execucao estado(int nm, int n1, int nitm, int itmax, double tolt, bool rapidos, int threads) {
    estado_execucao e;
    e.nm = nm;
    e.nxg.assign(nm + 1, 0);
    e.nyg.assign(nm + 1, 0);
    e.nxyg.assign(nm + 1, 0);
    e.nxg[1] = e.nyg[1] = n1;
    derivar_niveis(e);
    e.tolt = tolt;
    e.itmax = itmax;
    e.nitm = nitm;
    e.problema = 2;
    criar_hist(e);
    return e;
}

ajustes_solver ajustes(bool rapidos, int threads) {
    ajustes_solver a;
    a.rapidos = rapidos;
    a.threads = threads;
    return a;
}

// Níveis de (2^m + 1) pontos por direção a partir de 3 x 3.
int niveis(int n) {
    int m = 1;
    while ((1 << m) + 1 < n) ++m;
    return m;
}

void anotar(benchmark::State& s, double pontos, double bytes, int threads, const char* unidade) {
    using benchmark::Counter;
    s.counters[unidade] = Counter(pontos, Counter::kIsIterationInvariantRate | Counter::kInvert);
    s.counters["limite_banda"] = bytes / pontos / banda_copia(threads);
    s.counters["banda_GBs"] = banda_copia(threads) * 1e-9;
}

// Args: n, rapidos, threads. Uma chamada de gauss_seidel (nitm = 2) num nível único n x n.
void BM_gauss_seidel(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), threads = static_cast<int>(s.range(2));
    const bool rapidos = s.range(1) != 0;
    estado_execucao e = estado(1, n, 2, 1, 0.0, rapidos, threads);
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    preparar_campo_inicial(e);
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (int j = 2; j < n; ++j)
        for (int i = 2; i < n; ++i) e.T[i + (j - 1) * static_cast<std::size_t>(n)] = d(g);
    equipe eq(threads);
    for (auto _ : s) {
        if (rapidos) passada_rapida(e, {.varreduras = e.nitm}, eq);
        else gauss_seidel(e);
        benchmark::ClobberMemory();
    }
    const double interior = double(n - 2) * (n - 2);
    // no mínimo T lido e escrito uma vez por chamada; a referência o faz uma vez por varredura
    anotar(s, 2.0 * interior, 16.0 * interior, threads, "s_por_atualizacao");
}

// Args: n, nitm, rapidos, threads. Um ciclo V de n x n até 3 x 3.
void BM_ciclo_v(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), nitm = static_cast<int>(s.range(1));
    const int threads = static_cast<int>(s.range(3));
    const bool rapidos = s.range(2) != 0;
    estado_execucao e = estado(niveis(n), 3, nitm, 1, 0.0, rapidos, threads);
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    selecionar_nivel(e, e.nm);
    preparar_campo_inicial(e);
    const ajustes_solver a = ajustes(rapidos, threads);
    equipe eq(threads);
    for (auto _ : s) {
        ciclo_v(e, a, eq);
        benchmark::DoNotOptimize(e.rnorm);
    }
    // duas passadas por T (16 bytes/ponto cada); nos grossos: zerar cor, e duas passadas lendo cor e res
    const double fino = double(n) * n, grossos = static_cast<double>(e.nxyt) - fino;
    anotar(s, fino * 2.0 * nitm, 32.0 * fino + 56.0 * grossos, threads, "s_por_atualizacao_fina");
}

// Args: rapidos, threads. Solução inteira do problema senoidal 2049 x 2049 até tolt = 1e-8 (nitm = 2).
void BM_solucao_2049(benchmark::State& s) {
    const bool rapidos = s.range(0) != 0;
    const int threads = static_cast<int>(s.range(1));
    int ciclos = 0;
    for (auto _ : s) {
        estado_execucao e = estado(niveis(2049), 3, 2, 50, 1e-8, rapidos, threads);
        resolver_multigrid(e, {}, ajustes(rapidos, threads));
        ciclos = static_cast<int>(e.niter);
        benchmark::DoNotOptimize(e.T.data());
    }
    s.counters["ciclos"] = ciclos;
}

void gs_args(benchmark::internal::Benchmark* b) {
    for (int n : {513, 2049, 4097})
        for (int rap : {0, 1})
            for (int th : {1, 2})
                if (rap == 1 || th == 1) b->Args({n, rap, th});
}

void ciclo_args(benchmark::internal::Benchmark* b) {
    for (int n : {1025, 2049, 4097})
        for (int nitm : {1, 2, 3})
            for (int rap : {0, 1})
                for (int th : {1, 2})
                    if (rap == 1 || th == 1) b->Args({n, nitm, rap, th});
}

// Menor tempo das repetições: a máquina é compartilhada e o ruído só atrasa.
double menor(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

} // namespace

BENCHMARK(BM_gauss_seidel)->Apply(gs_args)->ArgNames({"n", "rapidos", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2)->Repetitions(3)->ComputeStatistics("min", menor);
BENCHMARK(BM_ciclo_v)->Apply(ciclo_args)->ArgNames({"n", "nitm", "rapidos", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2)->Repetitions(3)->ComputeStatistics("min", menor);
BENCHMARK(BM_solucao_2049)->Args({0, 1})->Args({1, 1})->Args({1, 2})->ArgNames({"rapidos", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ComputeStatistics("min", menor);

// A banda é medida antes de tudo: a liberação das áreas de cópia perturba por um tempo o que vem logo depois.
int main(int argc, char** argv) {
    banda_copia(1);
    banda_copia(2);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
