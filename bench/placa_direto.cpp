// O programa direto, como processo: a placa senoidal de n x n pontos (nm níveis desde 3 x 3, nitm 2, tolt 1e-8)
// resolvida pelos núcleos de referência (laços simples, toda a correção zerada a cada ciclo, o campo inicial em
// passadas separadas), uma thread, sem listagem nem análise. bench/desempenho.py mede o tempo de relógio do processo
// inteiro contra o da placa com a mesma entrada.
//
//   placa_direto N        (N = 2^k + 1)
#include <cstdio>
#include <cstdlib>

#include "run/execucao.h"
#include "solver/solver.h"

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 0;
    int nm = 1;
    while ((1 << nm) + 1 < n) ++nm;
    if (n < 3 || (1 << nm) + 1 != n) {
        std::fprintf(stderr, "placa_direto: N must be 2^k + 1 (got %s)\n", argc > 1 ? argv[1] : "nothing");
        return 2;
    }
    estado_execucao e;
    e.nm = nm;
    e.nxg.assign(nm + 1, 0);
    e.nyg.assign(nm + 1, 0);
    e.nxyg.assign(nm + 1, 0);
    e.nxg[1] = e.nyg[1] = 3;
    derivar_niveis(e);
    e.tolt = 1e-8;
    e.itmax = 50;
    e.nitm = 2;
    e.problema = 2;
    criar_hist(e);
    ajustes_solver a;
    a.rapidos = false;
    a.threads = 1;
    resolver_multigrid(e, metodo_efetivo({}, e.nitm, e.nm, e.problema), a);
    std::printf("{\"ciclos\": %lld, \"razao\": %.17g}\n", static_cast<long long>(e.niter),
                e.hist[static_cast<std::size_t>(e.niter)] / e.hist[0]);
    return 0;
}
