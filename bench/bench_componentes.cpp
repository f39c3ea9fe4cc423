// Tempo de um ciclo de cada componente (suavizador, restrição, ciclo, FMG) em relação ao ciclo V(2,2) clássico
// (gs-lex e injeção) em 2049², uma thread, na mesma execução: pares alternados (clássico, componente), medianas.
// cmake --preset ci -DPLACA_BENCH=ON && cmake --build build-ci --target placa_bench_componentes
// build-ci/bench/placa_bench_componentes [--pares=N] [--n=2049]
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/analise.h"
#include "run/execucao.h"
#include "solver/solver.h"
#include "state/componentes.h"

namespace {

int pares = 7;  // pares alternados por componente
int lado = 2049; // pontos por direção do nível mais fino

double agora() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// O que se mede: o método, se com os núcleos rápidos, e se o ciclo é o FMG inteiro.
struct caso {
    const char* nome;
    metodo_solver metodo;
    bool rapidos = true;
    double alvo = 0.0; // razão máxima pedida (0: proporcional às unidades de trabalho, ou nenhuma)
};

metodo_solver com(tipo_suavizador s, tipo_restricao r, tipo_ciclo c = tipo_ciclo::V, bool fmg = false) {
    metodo_solver m;
    m.suavizador = s;
    m.restricao = r;
    m.ciclo = c;
    m.fmg = fmg;
    return m;
}

int niveis(int n) {
    int m = 1;
    while ((1 << m) + 1 < n) ++m;
    return m;
}

// Um nível mais fino n x n até 3 x 3, problema senoidal, V(2,2), o plano do método pronto.
struct bancada {
    estado_execucao e;
    plano_solver p;
    equipe eq{1};
    bool fmg = false;

    bancada(const caso& c, int n) {
        const int nm = niveis(n);
        e.nm = nm;
        e.nxg.assign(nm + 1, 0);
        e.nyg.assign(nm + 1, 0);
        e.nxyg.assign(nm + 1, 0);
        e.nxg[1] = e.nyg[1] = 3;
        derivar_niveis(e);
        e.itmax = 1;
        e.nitm = 2;
        e.problema = 2;
        criar_hist(e);
        criar_campo(e, e.nxyg[nm]);
        criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[nm]);
        const metodo_efetivo m(c.metodo, e.nitm, nm, e.problema);
        ajustes_solver a;
        a.rapidos = c.rapidos;
        a.threads = 1;
        planejar_solver(p, e, m, a, eq);
        selecionar_nivel(e, nm);
        preparar_campo_inicial(e, m);
        fmg = m.fmg;
    }

    double um_ciclo() {
        const double t0 = agora();
        if (fmg) inicio_fmg(e, p);
        else ciclo(e, p, e.nm, p.ciclo);
        benchmark::DoNotOptimize(e.rnorm);
        return agora() - t0;
    }
};

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Unidades de trabalho de um ciclo (ou do FMG): varreduras, restrições e prolongações.
double unidades(const caso& c, int n) {
    const int nm = niveis(n);
    std::vector<int> nxg(static_cast<std::size_t>(nm) + 1);
    for (int k = 1; k <= nm; ++k) nxg[static_cast<std::size_t>(k)] = (1 << k) + 1;
    const metodo_efetivo m(c.metodo, 2, nm, 2);
    const trabalho_ciclo t = m.fmg ? calcular_trabalho_fmg(m, nxg, nxg, nm) : calcular_trabalho(m, 2, nxg, nxg, nm);
    return t.varreduras + t.restricoes + t.prolongacoes;
}

void medir(benchmark::State& s, const caso& c) {
    const caso classico{"classic", {}};
    bancada base(classico, lado), comp(c, lado);
    base.um_ciclo(); // primeiro toque e planos da equipe
    comp.um_ciclo();
    std::vector<double> tb, tc, razoes;
    for (auto _ : s) {
        for (int r = 0; r < pares; ++r) {
            const double a = base.um_ciclo(), b = comp.um_ciclo();
            tb.push_back(a);
            tc.push_back(b);
            razoes.push_back(b / a);
        }
        s.SetIterationTime(mediana(tc));
    }
    s.counters["ms"] = mediana(tc) * 1e3;
    s.counters["ms_classico"] = mediana(tb) * 1e3;
    s.counters["razao"] = mediana(razoes);
    s.counters["razao_ut"] = unidades(c, lado) / unidades(classico, lado);
    // ns por ponto fino e unidade de trabalho: o custo de uma varredura do nível fino, transferências incluídas
    s.counters["ns_ponto_ut"] = mediana(tc) * 1e9 / (unidades(c, lado) * (lado - 2.0) * (lado - 2.0));
    s.counters["alvo"] = c.alvo;
    s.SetLabel(std::string(c.rapidos ? "" : "plain loops, ") + instrucoes_da_solucao(comp.p, comp.eq));
}

std::vector<caso> casos() {
    using S = tipo_suavizador;
    using R = tipo_restricao;
    std::vector<caso> v{
        {"classic plain loops", {}, false},
        {"gs-lex half", com(S::gs_lex, R::meia), true, 1.3},
        {"gs-lex half plain loops", com(S::gs_lex, R::meia), false},
        {"gs-lex full", com(S::gs_lex, R::completa), true, 1.3},
        {"gs-lex full plain loops", com(S::gs_lex, R::completa), false},
    };
    // cada componente afinado e, logo depois, os seus laços simples (sem nome: o do componente + " plain loops")
    for (S sv : {S::gs_rb, S::jacobi})
        for (R r : {R::injecao, R::meia, R::completa}) {
            v.push_back({"", com(sv, r), true, 1.2});
            v.push_back({"", com(sv, r), false});
        }
    v.push_back({"", com(S::gs_sym, R::injecao), true, 2.2});
    v.push_back({"gs-sym injection plain loops", com(S::gs_sym, R::injecao), false});
    for (auto [sv, alvo] : {std::pair{S::linha_x, 3.0}, std::pair{S::linha_y, 3.0}, std::pair{S::linha_alt, 6.0}}) {
        v.push_back({"", com(sv, R::injecao), true, alvo});
        v.push_back({"", com(sv, R::injecao), false});
    }
    v.push_back({"W-cycle", com(S::gs_lex, R::injecao, tipo_ciclo::W)});
    v.push_back({"F-cycle", com(S::gs_lex, R::injecao, tipo_ciclo::F)});
    v.push_back({"FMG (V)", com(S::gs_lex, R::injecao, tipo_ciclo::V, true)});
    return v;
}

std::vector<std::string> nomes; // vivos até o fim: o registro guarda o ponteiro

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pares=", 8) == 0) pares = std::max(1, std::atoi(argv[i] + 8));
        else if (std::strncmp(argv[i], "--n=", 4) == 0) lado = std::max(5, std::atoi(argv[i] + 4));
    }
    const std::vector<caso> lista = casos();
    nomes.reserve(lista.size());
    for (const caso& c : lista) {
        std::string nome = c.nome;
        if (nome.empty())
            nome = std::string(componente(c.metodo.suavizador).nome) + " " + componente(c.metodo.restricao).nome +
                   (c.rapidos ? "" : " plain loops");
        nomes.push_back("componente/" + nome);
        benchmark::RegisterBenchmark(nomes.back().c_str(), [c](benchmark::State& s) { medir(s, c); })
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    std::vector<char*> resto{argv[0]};
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--pares=", 8) != 0 && std::strncmp(argv[i], "--n=", 4) != 0) resto.push_back(argv[i]);
    int n = static_cast<int>(resto.size());
    benchmark::Initialize(&n, resto.data());
    if (benchmark::ReportUnrecognizedArguments(n, resto.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
