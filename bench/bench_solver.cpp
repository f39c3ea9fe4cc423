// Tempos dos núcleos de referência e rápidos (por conjunto de instruções e threads): uma chamada de Gauss-Seidel,
// um ciclo V, a solução inteira contra o programa direto e duas threads contra uma, os suavizadores com o operador
// variável ao lado dos de operador constante e os de nove pontos (Galerkin), com o limite de banda de memória (bytes
// que o trabalho tem de mover sobre a banda medida nesta mesma execução). bench/desempenho.py roda este programa e
// escreve doc/desempenho.md.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "run/execucao.h"
#include "solver/solver.h"
#include "state/componentes.h"

namespace {

double agora() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Tempo de processador do processo: com uma thread, o que os outros processos que dividem os processadores não
// inflam (o tempo de relógio cresce com eles).
double processador() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// O maior nível de cache de dados (bytes): /sys/devices/system/cpu/cpu0/cache/index*/ (level, type, size), senão
// sysconf do nível 4 ao 1; 0 se nenhum diz.
long cache_ultimo_nivel() {
    long melhor = 0;
    int nivel_melhor = 0;
    for (int i = 0; i < 16; ++i) {
        const std::string base = "/sys/devices/system/cpu/cpu0/cache/index" + std::to_string(i) + "/";
        std::ifstream fn(base + "level"), ft(base + "type"), fs(base + "size");
        int nivel = 0;
        std::string tipo, tamanho;
        if (!(fn >> nivel) || !(ft >> tipo) || !(fs >> tamanho) || tipo == "Instruction") continue;
        long b = std::atol(tamanho.c_str());
        if (!tamanho.empty() && (tamanho.back() == 'K')) b <<= 10;
        if (!tamanho.empty() && (tamanho.back() == 'M')) b <<= 20;
        if (nivel > nivel_melhor || (nivel == nivel_melhor && b > melhor)) nivel_melhor = nivel, melhor = b;
    }
    if (melhor > 0) return melhor;
#ifdef _SC_LEVEL4_CACHE_SIZE
    for (int nome : {_SC_LEVEL4_CACHE_SIZE, _SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE, _SC_LEVEL1_DCACHE_SIZE})
        if (const long b = sysconf(nome); b > 0) return b;
#endif
    return 0;
}

// Banda de memória com n threads (bytes lidos + escritos por segundo) de duas formas de andar pela memória, cada uma
// com um conjunto de trabalho de ao menos quatro vezes o último nível de cache (e 256 MiB): atualização no lugar (lê
// e escreve o mesmo vetor, como uma varredura) e cópia (memcpy de uma metade do vetor para a outra), melhor de 3.
// Com uma thread o tempo é o de processador (como o das linhas de uma thread), com várias o de relógio. O limite
// das linhas usa a maior das duas.
struct banda {
    double copia = 0.0, no_lugar = 0.0;
    double cache = 0.0, conjunto = 0.0; // bytes
    double melhor() const { return std::max(copia, no_lugar); }
};

banda medir_banda(int n) {
    static std::map<int, banda> medidas;
    if (auto it = medidas.find(n); it != medidas.end()) return it->second;
    const long cache = cache_ultimo_nivel();
    const std::size_t bytes = std::max<std::size_t>(std::size_t{256} << 20, 4 * static_cast<std::size_t>(cache));
    const std::size_t tam = (bytes / sizeof(double) + 1023) / 1024 * 1024; // doubles, par
    std::vector<double> a(tam, 1.0);
    auto em_threads = [n](auto&& f) {
        std::vector<std::thread> ts;
        for (int id = 0; id < n; ++id) ts.emplace_back([&f, id, n] { f(id, n); });
        for (auto& t : ts) t.join();
    };
    banda r;
    r.cache = static_cast<double>(cache);
    r.conjunto = static_cast<double>(tam * sizeof(double));
    const std::size_t meio = tam / 2;
    const auto relogio = n == 1 ? processador : agora;
    for (int rep = 0; rep < 3; ++rep) {
        double t0 = relogio();
        em_threads([&](int id, int k) {
            const std::size_t i0 = meio * id / k, i1 = meio * (id + 1) / k;
            std::memcpy(a.data() + meio + i0, a.data() + i0, (i1 - i0) * sizeof(double));
        });
        r.copia = std::max(r.copia, 2.0 * sizeof(double) * meio / (relogio() - t0));
        t0 = relogio();
        em_threads([&](int id, int k) {
            const std::size_t i0 = tam * id / k, i1 = tam * (id + 1) / k;
            double* x = a.data();
            for (std::size_t i = i0; i < i1; ++i) x[i] = x[i] * 0.5 + 0.5;
        });
        r.no_lugar = std::max(r.no_lugar, 2.0 * sizeof(double) * tam / (relogio() - t0));
    }
    benchmark::DoNotOptimize(a.data());
    return medidas[n] = r;
}

// Estado com nm níveis, o mais grosso de 3 x 3 (ou n1 x n1 com nm = 1), problema senoidal, hist criado.
estado_execucao estado(int nm, int n1, int nitm, int itmax, double tolt) {
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

// Variantes: 0 = núcleos de referência (laços simples); 1, 2, 3 = rápidos escalar, AVX2, AVX-512; 4 = automático.
ajustes_solver ajustes(int variante, int threads) {
    ajustes_solver a;
    a.rapidos = variante != 0;
    a.threads = threads;
    const conjunto_instrucoes c[] = {conjunto_instrucoes::escalar, conjunto_instrucoes::escalar,
                                     conjunto_instrucoes::avx2, conjunto_instrucoes::avx512,
                                     conjunto_instrucoes::automatico};
    a.instrucoes = c[variante];
    return a;
}

bool variante_existe(int variante) {
    if (variante == 2) return conjunto_disponivel(conjunto_instrucoes::avx2);
    if (variante == 3) return conjunto_disponivel(conjunto_instrucoes::avx512);
    return true;
}

// Níveis de (2^m + 1) pontos por direção a partir de 3 x 3.
int niveis(int n) {
    int m = 1;
    while ((1 << m) + 1 < n) ++m;
    return m;
}

void anotar(benchmark::State& s, double atualizacoes, double bytes, int threads) {
    using benchmark::Counter;
    const banda b = medir_banda(threads);
    s.counters["ns_atualizacao"] = Counter(atualizacoes * 1e-9, Counter::kIsIterationInvariantRate | Counter::kInvert);
    s.counters["limite_ns"] = bytes / atualizacoes / b.melhor() * 1e9;
    s.counters["bytes"] = bytes;
    s.counters["atualizacoes"] = atualizacoes;
    s.counters["banda_GBs"] = b.melhor() * 1e-9;
    s.counters["banda_copia_GBs"] = b.copia * 1e-9;
    s.counters["banda_no_lugar_GBs"] = b.no_lugar * 1e-9;
    s.counters["cache_MiB"] = b.cache / 1048576.0;
    s.counters["conjunto_MiB"] = b.conjunto / 1048576.0;
}

// Args: n, variante, threads. Uma chamada de gauss_seidel (nitm = 2) num nível único n x n.
void BM_gauss_seidel(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), variante = static_cast<int>(s.range(1));
    const int threads = static_cast<int>(s.range(2));
    if (!variante_existe(variante)) return s.SkipWithError("conjunto de instruções ausente");
    estado_execucao e = estado(1, n, 2, 1, 0.0);
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    preparar_campo_inicial(e, metodo_efetivo({}, e.nitm, e.nm, e.problema));
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (int j = 2; j < n; ++j)
        for (int i = 2; i < n; ++i) e.T[i + (j - 1) * static_cast<std::size_t>(n)] = d(g);
    const ajustes_solver a = ajustes(variante, threads);
    equipe eq(a.threads, a.instrucoes);
    for (auto _ : s) {
        if (variante != 0) passada_rapida(e, {.varreduras = e.nitm}, eq);
        else gauss_seidel(e);
        benchmark::ClobberMemory();
    }
    const double interior = double(n - 2) * (n - 2);
    // T lido e escrito ao menos uma vez por chamada
    anotar(s, 2.0 * interior, 16.0 * interior, threads);
}

// Args: n, nitm, variante, threads. Um ciclo V de n x n até 3 x 3.
void BM_ciclo_v(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), nitm = static_cast<int>(s.range(1));
    const int variante = static_cast<int>(s.range(2)), threads = static_cast<int>(s.range(3));
    if (!variante_existe(variante)) return s.SkipWithError("conjunto de instruções ausente");
    estado_execucao e = estado(niveis(n), 3, nitm, 1, 0.0);
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    selecionar_nivel(e, e.nm);
    preparar_campo_inicial(e, metodo_efetivo({}, e.nitm, e.nm, e.problema));
    const ajustes_solver a = ajustes(variante, threads);
    equipe eq(a.threads, a.instrucoes);
    for (auto _ : s) {
        ciclo_v(e, a, eq);
        benchmark::DoNotOptimize(e.rnorm);
    }
    // T lido e escrito em duas passadas (32 bytes por ponto fino); cada ponto grosso: lado direito escrito pela
    // restrição, passada de descida (lê res, escreve cor), de subida (lê res e cor, escreve cor) e lido pela
    // prolongação do nível de cima (56 bytes)
    const double fino = double(n) * n, grossos = static_cast<double>(e.nxyt) - fino;
    anotar(s, fino * 2.0 * nitm, 32.0 * fino + 56.0 * grossos, threads);
}

// Solução inteira do problema senoidal 2049 x 2049 (nm 11 a partir de 3 x 3, nitm 2, tolt 1e-8), alocação
// incluída: o programa direto (núcleos de referência, uma thread) e o rápido, alternados na mesma execução.
void BM_solucao_2049(benchmark::State& s) {
    const int threads = static_cast<int>(s.range(0));
    double direto = 1e30, rapido = 1e30;
    int ciclos = 0;
    for (auto _ : s) {
        for (int variante : {0, 4}) {
            const double t0 = agora();
            estado_execucao e = estado(niveis(2049), 3, 2, 50, 1e-8);
            resolver_multigrid(e, metodo_efetivo({}, e.nitm, e.nm, e.problema), ajustes(variante, variante == 0 ? 1 : threads));
            ciclos = static_cast<int>(e.niter);
            benchmark::DoNotOptimize(e.T.data());
            e = estado_execucao{}; // a liberação também conta
            const double t = agora() - t0;
            (variante == 0 ? direto : rapido) = std::min(variante == 0 ? direto : rapido, t);
        }
    }
    s.counters["direto_ms"] = direto * 1e3;
    s.counters["rapido_ms"] = rapido * 1e3;
    s.counters["razao"] = direto / rapido;
    s.counters["ciclos"] = ciclos;
}

// Args: n. Ciclo V (nitm 2) com uma e com duas threads, alternados: a razão entre os dois na mesma execução.
void BM_duas_threads(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0));
    estado_execucao e = estado(niveis(n), 3, 2, 1, 0.0);
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    selecionar_nivel(e, e.nm);
    preparar_campo_inicial(e, metodo_efetivo({}, e.nitm, e.nm, e.problema));
    const ajustes_solver a1 = ajustes(4, 1), a2 = ajustes(4, 2);
    equipe eq1(a1.threads, a1.instrucoes), eq2(a2.threads, a2.instrucoes);
    std::vector<double> t1, t2;
    for (auto _ : s) {
        double t0 = agora();
        ciclo_v(e, a1, eq1);
        t1.push_back(agora() - t0);
        t0 = agora();
        ciclo_v(e, a2, eq2);
        t2.push_back(agora() - t0);
    }
    std::sort(t1.begin(), t1.end());
    std::sort(t2.begin(), t2.end());
    s.counters["uma_ms"] = t1[t1.size() / 2] * 1e3;
    s.counters["duas_ms"] = t2[t2.size() / 2] * 1e3;
    s.counters["aceleracao"] = t1[t1.size() / 2] / t2[t2.size() / 2]; // medianas
}

void gs_args(benchmark::internal::Benchmark* b) {
    for (int n : {513, 2049, 4097}) {
        for (int v : {0, 1, 2, 3}) b->Args({n, v, 1});
        b->Args({n, 1, 2});
    }
}

void ciclo_args(benchmark::internal::Benchmark* b) {
    for (int n : {1025, 2049, 4097})
        for (int nitm : {1, 2, 3}) {
            for (int v : {0, 1, 2, 3}) b->Args({n, nitm, v, 1});
            b->Args({n, nitm, 1, 2});
        }
}

// Args: n, suavizador (índice), forma (0 = constante, 1 = variável, 2 = variável nos núcleos rápidos, com as
// instruções que o programa escolhe). Duas varreduras de um suavizador dos laços simples (ou dos núcleos rápidos)
// num nível n x n com lado direito (uma correção), uma thread; a forma variável com o campo jump:1000. Cada
// atualização de ponto lê e escreve u e lê f (24 bytes), e na forma variável lê também ax, ay e ap (mais 24); o
// Jacobi copia o nível antes (16 bytes a mais). As linhas guardam as recorrências da linha no rascunho (na cache).
void BM_operador(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), forma = static_cast<int>(s.range(2));
    const componente_suavizador& c = suavizadores()[static_cast<std::size_t>(s.range(1))];
    estado_execucao e = estado(1, n, 2, 1, 0.0);
    metodo_solver m;
    if (forma >= 1) m.coeficiente = {tipo_coeficiente::salto, 1000.0, 1, 1};
    montar_operadores(e, metodo_efetivo(m, e.nitm, e.nm, e.problema));
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    coeficientes(e);
    std::vector<double> f(static_cast<std::size_t>(e.nxyg[1]) + 1);
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (std::size_t p = 1; p < f.size(); ++p) e.T[p] = d(g), f[p] = d(g);
    vista_nivel v = nivel_corrente(e);
    v.f = f.data();
    std::vector<double> rascunho(std::max<long>(e.nxyg[1] + 1, rascunho_linhas(n, n)));
    equipe eq(1);
    const meios_suavizacao meios{c.omega_padrao, forma == 2 ? &eq : nullptr, rascunho.data(), forma == 2};
    const suavizador k = nucleo(c.tipo, v.forma);
    for (auto _ : s) {
        k(v, meios, 2);
        benchmark::ClobberMemory();
    }
    const double atualizacoes = 2.0 * c.passadas * double(n - 2) * (n - 2);
    const double por_ponto = 24.0 + (forma >= 1 ? 24.0 : 0.0) + (c.tipo == tipo_suavizador::jacobi ? 16.0 : 0.0);
    anotar(s, atualizacoes, por_ponto * atualizacoes, 1);
}

void operador_args(benchmark::internal::Benchmark* b) {
    for (const componente_suavizador& c : suavizadores())
        for (int forma : {0, 1, 2})
            if (forma < 2 || c.tipo == tipo_suavizador::gs_rb || c.tipo == tipo_suavizador::jacobi ||
                c.tipo == tipo_suavizador::gs_lex || c.tipo == tipo_suavizador::gs_sym ||
                c.tipo == tipo_suavizador::linha_x || c.tipo == tipo_suavizador::linha_y ||
                c.tipo == tipo_suavizador::linha_alt)
                b->Args({2049, static_cast<int>(c.tipo), forma});
}

// Args: n, suavizador (índice; -1 = a norma do resíduo), forma (0 = nove pontos constante, 1 = nove pontos por
// ponto; 2 e 3: as mesmas nos núcleos rápidos, onde o suavizador os tem). O nível 1 (n x n) de dois níveis com --coarse-operator galerkin, o estêncil R A P do nível 2 (2n-1 pontos
// por direção; a forma por ponto com o campo jump:1000), montado uma vez fora da medida; campo e lado direito ao
// acaso. Duas varreduras de um suavizador (ou uma norma) por iteração, uma thread. Bytes por atualização de ponto:
// u lido e escrito e f lido (24; a norma só lê u e f: 16); na forma por ponto as nove grades do bloco (mais 72); o
// Jacobi copia o nível antes (mais 16). As linhas guardam as recorrências no rascunho (na cache).
void BM_nove(benchmark::State& s) {
    const int n = static_cast<int>(s.range(0)), qual = static_cast<int>(s.range(1));
    const int forma = static_cast<int>(s.range(2)) % 2;
    const bool rapidos = s.range(2) >= 2;
    estado_execucao e = estado(2, n, 2, 1, 0.0);
    metodo_solver m;
    m.operador_grosso = tipo_operador_grosso::galerkin;
    if (forma == 1) m.coeficiente = {tipo_coeficiente::salto, 1000.0, 1, 1};
    montar_operadores(e, metodo_efetivo(m, e.nitm, e.nm, e.problema));
    vista_nivel v = vista_do_operador(e, 1);
    const forma_operador esperada = forma == 1 ? forma_operador::nove_variavel : forma_operador::nove_constante;
    if (v.forma != esperada) return s.SkipWithError("o nível 1 não tem a forma de nove pontos pedida");
    const std::size_t nxy = static_cast<std::size_t>(v.nx) * v.ny;
    std::vector<double> u(nxy + 1), f(nxy + 1);
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (std::size_t p = 1; p <= nxy; ++p) u[p] = d(g), f[p] = d(g);
    v.u = u.data();
    v.f = f.data();
    double bytes = 24.0 + (forma == 1 ? 72.0 : 0.0), atualizacoes = double(n - 2) * (n - 2);
    if (qual < 0) {
        for (auto _ : s) benchmark::DoNotOptimize(norma_nivel(v));
        bytes -= 8.0;
        s.SetLabel("norma");
    } else {
        const componente_suavizador& c = suavizadores()[static_cast<std::size_t>(qual)];
        std::vector<double> rascunho(std::max<long>(static_cast<long>(nxy) + 1, rascunho_linhas(n, n)));
        equipe eq(1);
        const meios_suavizacao meios{c.omega_padrao, rapidos ? &eq : nullptr, rascunho.data(), rapidos};
        const suavizador k = nucleo(c.tipo, v.forma);
        for (auto _ : s) {
            k(v, meios, 2);
            benchmark::ClobberMemory();
        }
        atualizacoes *= 2.0 * c.passadas;
        if (c.tipo == tipo_suavizador::jacobi) bytes += 16.0;
        s.SetLabel(c.nome);
    }
    anotar(s, atualizacoes, bytes * atualizacoes, 1);
}

void nove_args(benchmark::internal::Benchmark* b) {
    for (int forma : {0, 1}) {
        for (const componente_suavizador& c : suavizadores()) b->Args({2049, static_cast<int>(c.tipo), forma});
        b->Args({2049, -1, forma});
    }
    for (tipo_suavizador t : {tipo_suavizador::gs_lex, tipo_suavizador::gs_sym, tipo_suavizador::gs_rb,
                              tipo_suavizador::jacobi, tipo_suavizador::linha_x, tipo_suavizador::linha_y,
                              tipo_suavizador::linha_alt})
        b->Args({2049, static_cast<int>(t), 2});
    for (tipo_suavizador t : {tipo_suavizador::gs_rb, tipo_suavizador::jacobi, tipo_suavizador::linha_x,
                              tipo_suavizador::linha_y, tipo_suavizador::linha_alt})
        b->Args({2049, static_cast<int>(t), 3});
}

// Menor tempo das repetições: a máquina é compartilhada e o ruído só atrasa.
double menor(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

} // namespace

BENCHMARK(BM_gauss_seidel)->Apply(gs_args)->ArgNames({"n", "variante", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.1)->Repetitions(3)->ComputeStatistics("min", menor);
BENCHMARK(BM_ciclo_v)->Apply(ciclo_args)->ArgNames({"n", "nitm", "variante", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.1)->Repetitions(3)->ComputeStatistics("min", menor);
BENCHMARK(BM_solucao_2049)->Arg(1)->ArgNames({"threads"})->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(5)->Repetitions(1);
BENCHMARK(BM_duas_threads)->Arg(1025)->Arg(2049)->Arg(4097)->ArgNames({"n"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(7)->Repetitions(1);
// Os núcleos dos operadores, cada um poucas vezes mais longo que um pico de ruído da máquina: 5 repetições.
BENCHMARK(BM_operador)->Apply(operador_args)->ArgNames({"n", "suavizador", "forma"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(0.1)->Repetitions(5)->ComputeStatistics("min", menor);
BENCHMARK(BM_nove)->Apply(nove_args)->ArgNames({"n", "suavizador", "forma"})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(0.1)->Repetitions(5)->ComputeStatistics("min", menor);

// A banda é medida antes de tudo: a liberação das áreas de cópia perturba por um tempo o que vem logo depois.
int main(int argc, char** argv) {
    medir_banda(1);
    medir_banda(2);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
